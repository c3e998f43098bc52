# lumivo_<version>_amd64.deb with CPack: what src/app/linux installs, with the files Debian
# policy asks of every package, and the dependencies dpkg-shlibdeps reads from the program.
# Lumivo is its own upstream, so the package is a native one: its version has no Debian
# revision and its changelog is usr/share/doc/lumivo/changelog.gz.
include(GNUInstallDirs)
set(debian_sources ${PROJECT_SOURCE_DIR}/packaging/debian)
set(debian_build ${CMAKE_BINARY_DIR}/deb)

# The changelog's latest entry must be this version's: a version raised without a new entry
# stops the build here rather than shipping a changelog that contradicts the package.
file(STRINGS ${debian_sources}/changelog latest_entry LIMIT_COUNT 1)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${debian_sources}/changelog)
if(NOT latest_entry MATCHES "^lumivo \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog: the latest entry is not ${PROJECT_VERSION}")
endif()
add_custom_command(OUTPUT ${debian_build}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${debian_sources}/changelog ${debian_build}/changelog
  COMMAND gzip -9nf ${debian_build}/changelog
  DEPENDS ${debian_sources}/changelog
  VERBATIM)
add_custom_target(lumivo_debian_changelog ALL DEPENDS ${debian_build}/changelog.gz)

install(FILES ${debian_sources}/copyright ${debian_build}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumivo)
install(FILES ${debian_sources}/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME lumivo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumivo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Norbek <norbek@norbek.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "tray lamp and hotkeys that open and close the CD-ROM drive door")
set(CPACK_PACKAGE_DESCRIPTION [=[
Lumivo lives in the notification area as a lamp: green after the drive door
was last closed through it, red after it was opened. A left click on the green
lamp ejects the disc, a right click on the red lamp closes the door, and a
right click on the green lamp opens a menu to browse the CD drives, read the
instructions, restart or shut down the computer.

Global hotkeys act whichever program has the focus (X11 sessions): keypad /
opens the door, keypad * closes it, keypad + opens every disc in the file
manager, F11 and F12 bring up two NetworkManager dial-up connections.
Lumivo starts at every logon.]=])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Depends from the libraries the program links (libc6, libstdc++6, libxcb1, Qt 6). The X11
# platform plugin Qt loads at run time, libqxcb.so, is part of libqt6gui6 on Debian 12.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# The autostart entry lives in /etc: a file the administrator may edit or empty, which an
# upgrade must not overwrite unasked. Removing the package keeps it; its TryExec then keeps
# the session from starting a program that is gone.
file(WRITE ${debian_build}/conffiles "/etc/xdg/autostart/lumivo.desktop\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${debian_build}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
