# Runs CMD with ARGS and fails unless it exits with EXPECT.
execute_process(COMMAND ${CMD} ${ARGS} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL EXPECT)
    message(FATAL_ERROR "exit code ${rc}, expected ${EXPECT}\nstdout: ${out}\nstderr: ${err}")
endif()
if(EXPECT GREATER 0 AND err STREQUAL "")
    message(FATAL_ERROR "a failure printed nothing on stderr")
endif()
# ERR_MATCH: a regular expression stderr must match.
if(DEFINED ERR_MATCH AND NOT err MATCHES "${ERR_MATCH}")
    message(FATAL_ERROR "stderr does not match ${ERR_MATCH}:\n${err}")
endif()
# ABSENT: a path the command must not have created.
if(DEFINED ABSENT AND EXISTS "${ABSENT}")
    message(FATAL_ERROR "${ABSENT} was created")
endif()
