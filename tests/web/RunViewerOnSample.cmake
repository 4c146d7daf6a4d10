# Publishes a copy of the sample project with the real command-line tool and
# runs the viewer's browser tests against that site, opened from disk.
file(REMOVE_RECURSE ${WORK})
file(COPY ${SOURCE}/examples/sample/ DESTINATION ${WORK})
execute_process(COMMAND ${CLI} publish ${WORK}/Sample.hff --format webhelp RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "publishing the sample failed (${rc})")
endif()
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env QM_SITE_DIR=${WORK}/Sample/build/webhelp
            QM_SEARCH_INDEX_TOOL=${INDEX_TOOL}
            ${NODE} --test --test-concurrency=1 viewer.test.mjs
    WORKING_DIRECTORY ${SOURCE}/tests/web RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "viewer tests on the published sample failed (${rc})")
endif()
