# Warnings are a per-target usage requirement so that third-party code built
# into the tree (none today) is not held to our flags.
function(quillmate_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
        -Wnon-virtual-dtor -Woverloaded-virtual -Wimplicit-fallthrough)
    if(QUILLMATE_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
