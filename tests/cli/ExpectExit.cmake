# Runs CMD with ARGS and fails unless it exits with EXPECT.
execute_process(COMMAND ${CMD} ${ARGS} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL EXPECT)
    message(FATAL_ERROR "exit code ${rc}, expected ${EXPECT}\nstdout: ${out}\nstderr: ${err}")
endif()
if(EXPECT GREATER 0 AND err STREQUAL "")
    message(FATAL_ERROR "a failure printed nothing on stderr")
endif()
