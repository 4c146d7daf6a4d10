# The manual pages as man renders them: any troff warning fails.
# Arguments: PAGES (list of .1.gz files).
foreach(page IN LISTS PAGES)
    execute_process(COMMAND man --warnings -E UTF-8 -l ${page}
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR NOT err STREQUAL "" OR NOT out MATCHES "SYNOPSIS")
        message(FATAL_ERROR "${page}: exit code ${rc}\n${err}")
    endif()
endforeach()
