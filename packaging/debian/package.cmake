# Installing and the Debian package (cmake --workflow --preset package); the changelog and
# copyright file beside this file go into it, and check-package beside it proves it.
#
# The program lies in a folder of its own rather than on PATH: nobody starts it by that
# name. A project gets it by a copy or a symbolic link in its Config folder, named after
# the component it configures, and the demo generator beside it writes such a project.
set(VELNOR_INSTALL_PROGRAM_DIR lib/velnor-config)
set(VELNOR_INSTALL_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/velnor-config)

set(VELNOR_PACKAGE_MAINTAINER "Velnor_Config developers <velnor-config@example.org>"
    CACHE STRING "The Maintainer field of the Debian package")

# The changelog's newest entry names the version the package gets: both must agree.
set(changelog ${CMAKE_CURRENT_LIST_DIR}/changelog)
file(STRINGS ${changelog} changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^velnor-config \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog starts with \"${changelog_head}\"; its "
                      "newest entry must be for version ${PROJECT_VERSION}, the project's "
                      "version")
endif()

# Debian wants the changelog compressed, and without a time stamp in the gzip header
# so that the package is the same whenever it is built.
find_program(VELNOR_GZIP gzip REQUIRED)
set(changelog_gz ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(
  OUTPUT ${changelog_gz}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
  COMMAND ${VELNOR_GZIP} -9 -n -c ${changelog} > ${changelog_gz}
  DEPENDS ${changelog}
  COMMENT "Compressing the changelog")
add_custom_target(velnor_changelog ALL DEPENDS ${changelog_gz})

install(FILES README.md ${CMAKE_CURRENT_LIST_DIR}/copyright ${changelog_gz}
        DESTINATION ${VELNOR_INSTALL_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velnor-config)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VELNOR_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # velnor-config_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends are the packages of the libraries the programs really link, as dpkg-shlibdeps
# finds them; Qt's platform and image plugins come with libqt6gui6.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "configures the info buttons and warnings of an operator-panel component")
# Lines under 80 characters, as Debian wants them shown.
set(CPACK_PACKAGE_DESCRIPTION
    "Velnor_Config (Erweiterte Konfiguration) is the extended configuration
of one component of an operator-panel project. It shows the panel's info
buttons and warning symbols as a grid of pictures to switch on and off.
On OK it rebuilds the component's preset definition table from its source
database, carries the limits of the previous generation over and stores
the choices in the project's settings.

A project gets the tool by a copy or a symbolic link of
/usr/lib/velnor-config/Velnor_Config in its Config folder, named after
the component: Config/Widget_Config configures the component Widget.
A parent configuration program starts it integrated or silent; a silent
run needs no display. velnor_make_demo, beside it, writes a demo project
to try it on.")
include(CPack)
