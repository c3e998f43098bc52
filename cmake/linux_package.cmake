# lumivo_<version>_amd64.deb with CPack: what src/app/linux installs, depending on Debian's
# Qt 6 packages and XInput 2's xcb library (the hotkeys' raw key events); they bring the C and
# C++ libraries and libxcb with them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumivo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Norbek <norbek@norbek.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "tray lamp and hotkeys that open and close the CD-ROM drive door")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6dbus6 (>= 6.4), qt6-qpa-plugins (>= 6.4), libxcb-xinput0")
set(CPACK_STRIP_FILES ON)
# The autostart entry lives in /etc: a file the administrator may edit or empty, which an
# upgrade must not overwrite unasked.
file(WRITE ${CMAKE_BINARY_DIR}/deb/conffiles "/etc/xdg/autostart/lumivo.desktop\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/deb/conffiles)
include(CPack)
