# SPDX-License-Identifier: MIT
# `cpack -G DEB` in a build directory (or `make package` from the top) makes the Debian package.
# Its dependencies on shared libraries are found by dpkg-shlibdeps; the two named here are loaded
# at run time and so invisible to it: Qt's window-system plug-ins and Mesa's drivers.
set(TESSORY_PACKAGE_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/glsl-tessory)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${TESSORY_PACKAGE_DOCDIR})
# Debian wants the change log compressed, without a time stamp.
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/changelog changelog
    COMMAND ${TESSORY_GZIP} -9nf changelog
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/packaging
    VERBATIM
)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
add_custom_target(tessory_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${TESSORY_PACKAGE_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glsl-tessory)
set(CPACK_PACKAGE_VENDOR Brimvale)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Brimvale <glsl-tessory@brimvale.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.brimvale.example/glsl-tessory/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for OpenGL shader pairs, tested with the GL driver")
# Debian wants the lines of the long description no longer than 80 characters.
set(CPACK_PACKAGE_DESCRIPTION "\
GLSL Tessory edits pairs of vertex and fragment shaders that share a base name\n\
in one directory, the WorkSpace, with syntax highlighting, and compiles and\n\
links them with the machine's own OpenGL driver, leading from each driver\n\
message to its line. glsl-tessory-check runs the same test without a window,\n\
for builds and CI.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libgl1-mesa-dri")
# Qt's own German texts (message box buttons, choosers) for a German desktop.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
