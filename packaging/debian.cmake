# The Debian package of the installed tree (`make package`), with the
# copyright and changelog files Debian wants in share/doc/zentarel3d.

set(doc_dir ${CMAKE_CURRENT_BINARY_DIR}/doc)
file(MAKE_DIRECTORY ${doc_dir})
# The newest changelog entry must be the version that ships.
file(STRINGS debian/changelog newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^zentarel3d \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog does not begin with ${PROJECT_VERSION}")
endif()
add_custom_command(OUTPUT ${doc_dir}/changelog.gz
  COMMAND ${GZIP} -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog > ${doc_dir}/changelog.gz
  DEPENDS debian/changelog)
add_custom_target(package_changelog ALL DEPENDS ${doc_dir}/changelog.gz)
install(FILES debian/copyright ${doc_dir}/changelog.gz DESTINATION share/doc/zentarel3d)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zentarel3d)
set(CPACK_PACKAGE_VENDOR "Zentarel 3d developers")
set(CPACK_PACKAGE_CONTACT "Zentarel 3d developers <dev@zentarel3d.example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://zentarel3d.example.org/")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends from the libraries the executables link, by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "build and ray-trace three-dimensional IFS fractals")
set(CPACK_PACKAGE_DESCRIPTION
    "Zentarel 3d builds three-dimensional fractals, the attractors of iterated
function systems, from scene scripts in its own small language: sets of
maps, a camera, lights and materials. A build runs the script and ray-traces
the attractor into an image, with antialiasing, shadows, mirror reflections,
section planes and stereo pairs; animations are written as videos.
.
The package holds the desktop application, zentarel3d, and the command-line
renderer, zentarel3d-cli. Both are free software under the GNU General
Public License, version 3 or later.")
include(CPack)
