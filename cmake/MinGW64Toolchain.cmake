# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (posix threads:
# the win32 thread model lacks std::thread) against a Qt built for Windows.
#   cmake -B build-windows --toolchain cmake/MinGW64Toolchain.cmake -DSONVERA_WINDOWS_QT=<prefix>
# where <prefix> holds bin/, lib/cmake/Qt5*/ and plugins/ of that Qt.
# scripts/windows.sh does all of this.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SONVERA_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SONVERA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SONVERA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${SONVERA_MINGW}-windres)

set(SONVERA_WINDOWS_QT "" CACHE PATH "Prefix of the Qt built for Windows")
if(NOT IS_DIRECTORY "${SONVERA_WINDOWS_QT}/lib/cmake/Qt5")
    message(FATAL_ERROR "SONVERA_WINDOWS_QT must name the prefix of a Qt built for Windows "
                        "(with lib/cmake/Qt5 in it); it is \"${SONVERA_WINDOWS_QT}\"")
endif()
# The toolchain file is read again for every check CMake compiles; these
# reach those checks too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SONVERA_WINDOWS_QT)

# Programs come from this machine; libraries, headers and CMake packages only
# from the MinGW root and the Qt prefix.
set(CMAKE_FIND_ROOT_PATH /usr/${SONVERA_MINGW} ${SONVERA_WINDOWS_QT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(Qt5_DIR ${SONVERA_WINDOWS_QT}/lib/cmake/Qt5)
# The translation tools are this machine's: the Windows Qt holds none, and the
# files they make are the same on every platform.
set(Qt5LinguistTools_DIR /usr/lib/x86_64-linux-gnu/cmake/Qt5LinguistTools)

# The run-time libraries of the compiler (libstdc++, libgcc_s_seh) and of its
# threads (libwinpthread), which the program loads from beside itself.
file(GLOB SONVERA_MINGW_GCC_DIRS LIST_DIRECTORIES true /usr/lib/gcc/${SONVERA_MINGW}/*-posix)
if(NOT SONVERA_MINGW_GCC_DIRS)
    message(FATAL_ERROR "No posix-thread MinGW-w64 compiler in /usr/lib/gcc/${SONVERA_MINGW} (Debian's g++-mingw-w64-x86-64-posix)")
endif()
list(GET SONVERA_MINGW_GCC_DIRS -1 SONVERA_MINGW_GCC_DIR)
set(SONVERA_MINGW_RUNTIME_DIRS ${SONVERA_MINGW_GCC_DIR} /usr/${SONVERA_MINGW}/lib)

# Tests run under wine; Debian keeps wine64 out of PATH.
find_program(SONVERA_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(SONVERA_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${SONVERA_WINE64})
endif()
