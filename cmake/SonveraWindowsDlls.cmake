# Run at install time (see SonveraInstall.cmake): copies into the install
# folder every DLL that the program and its plugins import, directly or
# through one another, from the toolkit's and the compiler's folders. DLL
# names are compared without regard to case, as Windows does; imports found
# in none of the folders are Windows' own.
#   SONVERA_IMPORTERS  the program and the plugins, as installed
#   SONVERA_DLL_DIRS   the folders to take DLLs from
#   SONVERA_OBJDUMP    MinGW's objdump, which reads the imports
#   SONVERA_STRIP      MinGW's strip, for an installation that strips
#                      (Debian's libstdc++ DLL carries 20 MB of debug data)

cmake_policy(VERSION 3.19)

set(available)
foreach(folder IN LISTS SONVERA_DLL_DIRS)
    file(GLOB dlls "${folder}/*.dll")
    foreach(dll IN LISTS dlls)
        get_filename_component(name "${dll}" NAME)
        string(TOLOWER "${name}" name)
        if(NOT DEFINED "sonvera_dll_${name}")
            set("sonvera_dll_${name}" "${dll}")
        endif()
    endforeach()
endforeach()

set(queue ${SONVERA_IMPORTERS})
set(seen)
set(copied)
while(queue)
    list(POP_FRONT queue importer)
    execute_process(COMMAND "${SONVERA_OBJDUMP}" -p "${importer}" OUTPUT_VARIABLE imports RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${SONVERA_OBJDUMP} could not read ${importer}")
    endif()
    string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${imports}")
    foreach(import IN LISTS imports)
        string(REGEX REPLACE "^DLL Name: " "" name "${import}")
        string(STRIP "${name}" name)
        string(TOLOWER "${name}" name)
        if(name IN_LIST seen)
            continue()
        endif()
        list(APPEND seen "${name}")
        if(DEFINED "sonvera_dll_${name}")
            list(APPEND copied "${sonvera_dll_${name}}")
            list(APPEND queue "${sonvera_dll_${name}}")
        endif()
    endforeach()
endwhile()

file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}" TYPE SHARED_LIBRARY FILES ${copied})
if(CMAKE_INSTALL_DO_STRIP)
    foreach(dll IN LISTS copied)
        get_filename_component(name "${dll}" NAME)
        execute_process(COMMAND "${SONVERA_STRIP}" --strip-unneeded "${CMAKE_INSTALL_PREFIX}/${name}"
                        RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "${SONVERA_STRIP} could not strip ${name}")
        endif()
    endforeach()
endif()
