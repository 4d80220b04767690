# AddressSanitizer and UndefinedBehaviorSanitizer for everything the project
# builds (program, local service, tests), so that the processes the tests start
# are checked as well. Any finding ends the process with a failure: undefined
# behaviour does not recover, and the run-time options the tests get (see
# SONVERA_SANITIZER_ENVIRONMENT) halt on the first error.
option(SONVERA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(SONVERA_SANITIZE)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        message(FATAL_ERROR "SONVERA_SANITIZE is set up for gcc; this is ${CMAKE_CXX_COMPILER_ID}")
    endif()
    set(SONVERA_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    # -O1 keeps the build and the checked run fast; line tables are enough for
    # readable reports and cost far less than full debug information. Both
    # come after the build type's own -O2 -g, so they win.
    add_compile_options(${SONVERA_SANITIZER_FLAGS} -O1 -g1)
    add_link_options(${SONVERA_SANITIZER_FLAGS})

    # What every test gets: stop at the first report with a failing exit, keep
    # leak detection on, and ignore only the leaks of the libraries listed in
    # the suppressions file. The processes a test starts inherit all of it.
    set(SONVERA_SANITIZER_SUPPRESSIONS ${CMAKE_CURRENT_LIST_DIR}/lsan.supp)
    set(SONVERA_ASAN_OPTIONS "halt_on_error=1:detect_leaks=1:check_initialization_order=1")
    set(SONVERA_SANITIZER_ENVIRONMENT
        "ASAN_OPTIONS=${SONVERA_ASAN_OPTIONS}"
        "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1"
        "LSAN_OPTIONS=suppressions=${SONVERA_SANITIZER_SUPPRESSIONS}:print_suppressions=0")
else()
    set(SONVERA_SANITIZER_ENVIRONMENT)
endif()
