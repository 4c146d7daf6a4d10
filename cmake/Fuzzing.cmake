# libFuzzer targets (fuzz/). Everything they link is built with libFuzzer's
# coverage and the sanitizers, so the fuzzer sees into the core and a fault
# stops the run where it happens. libFuzzer comes with clang only.
option(QUILLMATE_BUILD_FUZZ "Build the libFuzzer targets (clang; instruments the whole build)" OFF)
if(QUILLMATE_BUILD_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "The fuzz targets need clang and its libFuzzer: use the fuzz preset")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
