# Installs the build into a fresh prefix and uses it as a user would: the
# installed quillmate-cli finds the installed program files (not the build
# tree's), publishes a copy of the installed sample, and the desktop
# integration files are where desktops look and pass their validators.
# Arguments: BUILD (build folder), WORK (scratch folder), VERSION, APP (ON when
# the desktop program is built).
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        list(JOIN ARGN " " cmd)
        message(FATAL_ERROR "${cmd}: exit code ${rc}\n${out}${err}")
    endif()
    set(OUT "${out}" PARENT_SCOPE)
    set(ERR "${err}" PARENT_SCOPE)
endfunction()

function(expect_files)
    foreach(f IN LISTS ARGN)
        if(NOT EXISTS ${PREFIX}/${f})
            message(FATAL_ERROR "not installed: ${f}")
        endif()
    endforeach()
endfunction()

set(PREFIX ${WORK}/prefix)
file(REMOVE_RECURSE ${WORK})
run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX})

set(DATA share/quillmate)
expect_files(bin/quillmate-cli ${DATA}/VERSION ${DATA}/AppFiles/editor/editor.html
    ${DATA}/AppFiles/webhelp/app.js ${DATA}/styles/default.css ${DATA}/transl.qz
    ${DATA}/sample/Sample.hff ${DATA}/guide/index.html share/man/man1/quillmate-cli.1.gz
    share/doc/quillmate/copyright share/doc/quillmate/changelog.gz)

# --version names the installed program files and their version.
run(${PREFIX}/bin/quillmate-cli --version)
if(NOT OUT STREQUAL "quillmate-cli ${VERSION}\nprogram files: ${VERSION} in ${PREFIX}/${DATA}\n")
    message(FATAL_ERROR "installed quillmate-cli --version:\n${OUT}")
endif()

# The installed sample is read-only for most users: publish a copy, as the
# guide tells them to.
file(COPY ${PREFIX}/${DATA}/sample/ DESTINATION ${WORK}/sample)
run(${PREFIX}/bin/quillmate-cli publish ${WORK}/sample/Sample.hff --format webhelp)
foreach(f index.html app.js toc.js search.js)
    if(NOT EXISTS ${WORK}/sample/Sample/build/webhelp/${f})
        message(FATAL_ERROR "publishing the sample from the installation made no ${f}:\n${OUT}${ERR}")
    endif()
endforeach()
run(${PREFIX}/bin/quillmate-cli check-links ${WORK}/sample/Sample.hff)

if(NOT APP)
    return()
endif()

set(ID org.quillmate.Quillmate)
expect_files(bin/quillmate share/man/man1/quillmate.1.gz share/applications/${ID}.desktop
    share/metainfo/${ID}.metainfo.xml share/mime/packages/quillmate.xml
    share/icons/hicolor/scalable/apps/${ID}.svg)
foreach(size 16 22 24 32 48 64 128 256 512)
    set(png ${PREFIX}/share/icons/hicolor/${size}x${size}/apps/${ID}.png)
    expect_files(share/icons/hicolor/${size}x${size}/apps/${ID}.png)
    run(file -b ${png})
    if(NOT OUT MATCHES "^PNG image data, ${size} x ${size},")
        message(FATAL_ERROR "${png}: ${OUT}")
    endif()
endforeach()

run(${PREFIX}/bin/quillmate --version)
if(NOT OUT STREQUAL "quillmate ${VERSION}\nprogram files: ${VERSION} in ${PREFIX}/${DATA}\n")
    message(FATAL_ERROR "installed quillmate --version:\n${OUT}")
endif()

# The validators print hints even when they pass; only their exit codes and
# errors count.
run(desktop-file-validate ${PREFIX}/share/applications/${ID}.desktop)
if(NOT OUT STREQUAL "" OR NOT ERR STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate:\n${OUT}${ERR}")
endif()
run(appstreamcli validate --no-net --explain ${PREFIX}/share/metainfo/${ID}.metainfo.xml)

# The mime database built from the installed type knows *.hff, in any case.
file(MAKE_DIRECTORY ${WORK}/mime)
file(COPY ${PREFIX}/share/mime/packages DESTINATION ${WORK}/mime)
# A folder outside the data dirs draws a note on stderr; this one is inside.
set(ENV{XDG_DATA_HOME} ${WORK})
run(update-mime-database ${WORK}/mime)
if(NOT ERR STREQUAL "")
    message(FATAL_ERROR "update-mime-database:\n${ERR}")
endif()
file(READ ${WORK}/mime/globs2 globs)
if(NOT globs MATCHES "(^|\n)[0-9]+:application/x-quillmate-project:\\*\\.hff(\n|:)")
    message(FATAL_ERROR "*.hff is not in the mime globs:\n${globs}")
endif()
if(NOT EXISTS ${WORK}/mime/application/x-quillmate-project.xml)
    message(FATAL_ERROR "the mime database has no application/x-quillmate-project")
endif()
