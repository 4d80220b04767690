# Strict warnings for the project's own code (never for the toolkit's headers).
function(sonvera_enable_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
        -Woverloaded-virtual -Wformat=2 -Werror=switch -Werror=return-type)
endfunction()
