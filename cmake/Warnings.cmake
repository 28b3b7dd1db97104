# quibly_warnings(<target>): the project's warning set; errors when QUIBLY_WERROR is on (CI).
function(quibly_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wnon-virtual-dtor
        -Woverloaded-virtual -Wold-style-cast -Wimplicit-fallthrough)
    if(QUIBLY_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
