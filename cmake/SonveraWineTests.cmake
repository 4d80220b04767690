# The tests of the Windows build run under wine (CMAKE_CROSSCOMPILING_EMULATOR,
# see MinGW64Toolchain.cmake), in a wine prefix of their own in the build
# folder. wine hands the host's environment to the program except the
# toolkit's QT_* variables, which go with a WINE prefix; WINEPATH lists where
# the toolkit's and the compiler's DLLs are, as Windows paths.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    message(FATAL_ERROR "The Windows tests run under wine64, which was not found (Debian's wine64 package)")
endif()

set(SONVERA_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-prefix CACHE PATH "The wine prefix the tests run in")

set(sonvera_wine_path)
foreach(folder IN ITEMS ${SONVERA_WINDOWS_QT}/bin ${SONVERA_MINGW_RUNTIME_DIRS})
    list(APPEND sonvera_wine_path "Z:${folder}")
endforeach()
# Escaped: the environment is a CMake list, and Windows separates folders by ';'.
list(JOIN sonvera_wine_path "\\;" sonvera_wine_path)

set(SONVERA_TEST_ENVIRONMENT
    "WINEPREFIX=${SONVERA_WINEPREFIX}"
    # The profile is named in Cyrillic (C:\users\Анна), as many
    # practitioners' are: the tests' temporary files go below it.
    "USER=Анна"
    "WINEDEBUG=-all"
    # No .NET or browser engine to install when the prefix is made.
    "WINEDLLOVERRIDES=mscoree,mshtml="
    "WINEPATH=${sonvera_wine_path}"
    "WINEQT_PLUGIN_PATH=Z:${SONVERA_WINDOWS_QT}/plugins"
    "WINEQT_QPA_PLATFORM=offscreen"
    # The offscreen platform reads fonts from files; this machine's DejaVu.
    "WINEQT_QPA_FONTDIR=Z:/usr/share/fonts/truetype/dejavu"
    # QtTest writes to the debugger's output when it has no console of its own.
    "WINEQT_FORCE_STDERR_LOGGING=1"
    "LC_ALL=C.UTF-8")
