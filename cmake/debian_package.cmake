# The Debian package of Pathshift (make package): the desktop program, pathshift-cli with its manual
# page, the skins, the desktop entry and the icon. Dependencies come from the programs' shared
# libraries (dpkg-shlibdeps), so installing the package on a fresh system brings Qt along.

include(GNUInstallDirs)

# The manual page is written from pathshift-cli's own help texts, so it cannot drift from them.
find_program(PATHSHIFT_HELP2MAN help2man)
if(PATHSHIFT_HELP2MAN)
  set(man_page ${CMAKE_BINARY_DIR}/man/pathshift-cli.1.gz)
  add_custom_command(
    OUTPUT ${man_page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/man-page.sh $<TARGET_FILE:pathshift-cli> ${man_page}
    DEPENDS pathshift-cli ${CMAKE_SOURCE_DIR}/scripts/man-page.sh
    COMMENT "Writing the manual page of pathshift-cli"
    VERBATIM)
  add_custom_target(pathshift_man_page ALL DEPENDS ${man_page})
  install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# The hot folder as a systemd user service, for every user (systemctl --user enable ...).
install(FILES ${CMAKE_SOURCE_DIR}/packaging/pathshift-watch@.service DESTINATION lib/systemd/user)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pathshift)
set(CPACK_PACKAGE_VENDOR "Pathshift")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tarvo to Selvix converter for CNC router part programs")
# The summary above is the first line; this is the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Translates part programs written in the Tarvo G-code dialect into the Selvix\n\
dialect: mirrored X and Y, Z relative to each segment's lowest level, absolute\n\
arc centres, tool calls from a tool translation table. Contains the operator's\n\
desktop program pathshift and the command-line converter pathshift-cli, which\n\
also verifies a conversion move by move, draws a plan preview and watches a hot\n\
folder (with a systemd user service).")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pathshift maintainers <pathshift@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
