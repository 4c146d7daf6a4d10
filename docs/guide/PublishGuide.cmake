# Publishes the guide from a copy (publishing locks and prepares the project,
# and the source tree may be read-only), with the build's version in the
# guide's Version variable. Any warning fails the build: the guide ships.
file(REMOVE_RECURSE ${WORK})
file(COPY ${SOURCE}/Guide.hff ${SOURCE}/Guide DESTINATION ${WORK})
set(reusable ${WORK}/Guide/meta/reusable_content.json)
file(READ ${reusable} text)
string(REGEX REPLACE "(\"name\":\"Version\",\"value\":\")[^\"]*\"" "\\1${VERSION}\"" text "${text}")
file(WRITE ${reusable} "${text}")
execute_process(COMMAND ${CLI} publish ${WORK}/Guide.hff --format webhelp --out ${OUT}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT err STREQUAL "")
    message(FATAL_ERROR "publishing the user's guide failed (exit code ${rc}):\n${out}${err}")
endif()
