# `make package` (or `cpack` in the build folder): a Debian package of the
# installation, and with `make package_source` a source tarball. The package's
# library dependencies come from the executables themselves (dpkg-shlibdeps);
# what the program runs or loads without linking is named here.
set(CPACK_PACKAGE_NAME quillmate)
set(CPACK_PACKAGE_VENDOR "The Quillmate authors")
set(CPACK_PACKAGE_CONTACT "The Quillmate authors <maintainers@quillmate.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "help-authoring tool: topics as HTML, WebHelp, CHM and PDF")
set(CPACK_PACKAGE_HOMEPAGE_URL ${PROJECT_HOMEPAGE_URL})
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The summary above is the package's first line; this is the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quillmate keeps a help project as a tree of topics, each one HTML page,
edited in a WYSIWYG editor, with variables, snippets and conditional
blocks for repeated text. A project is published as WebHelp (a static
site with contents and search that works from disk), as a compiled help
file (CHM) and as a PDF manual.
.
The package holds the desktop program quillmate, the command-line tool
quillmate-cli for scripts and CI, a sample project and the user's guide.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The editor's web engine runs in its own helper process, which no executable
# links; Debian's symbols files name its package (libqt6webenginecore6-bin)
# for the library, and the package test holds it there.
if(QUILLMATE_BUILD_APP)
    # Opening published help and web pages goes through xdg-open; Qt's own
    # dialogs speak the author's language with Qt's translations.
    set(QM_DEB_RECOMMENDS "xdg-utils, qt6-translations-l10n")
endif()
# PDF is printed by a Chromium-family browser; CHM, a Windows format, needs
# the Free Pascal help compiler.
if(QM_DEB_RECOMMENDS)
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "chromium, ${QM_DEB_RECOMMENDS}")
else()
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "chromium")
endif()
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fp-utils")

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME quillmate-${PROJECT_VERSION})
set(CPACK_SOURCE_IGNORE_FILES
    "/\\\\.git/" "/\\\\.git$" "/build/" "/node_modules/" "/\\\\.cache/" "~$" "\\\\.swp$")

# The Debian package's own documents: copyright and changelog.
set(QM_DEB_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/quillmate)
execute_process(COMMAND date -R -u -d "${QUILLMATE_RELEASE_DATE} 12:00"
    OUTPUT_VARIABLE QUILLMATE_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in
    ${PROJECT_BINARY_DIR}/packaging/debian/changelog @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/debian/changelog.gz
    COMMAND ${QUILLMATE_GZIP} -9 -n -f -k ${PROJECT_BINARY_DIR}/packaging/debian/changelog
    DEPENDS ${PROJECT_BINARY_DIR}/packaging/debian/changelog
    VERBATIM)
add_custom_target(quillmate_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/debian/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
              ${PROJECT_BINARY_DIR}/packaging/debian/changelog.gz
        DESTINATION ${QM_DEB_DOCDIR})

include(CPack)
