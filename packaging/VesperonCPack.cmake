# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cpack -G DEB` in the build folder. Everything goes under /usr; the shared
# library dependencies are worked out by dpkg-shlibdeps from what the program and the libraries
# actually link, and the libraries of the program folder are our own, shipped in the package.
set(CPACK_PACKAGE_NAME vesperon)
set(CPACK_PACKAGE_VENDOR "The Vesperon developers")
set(CPACK_PACKAGE_CONTACT "The Vesperon developers <vesperon@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "End the desktop session at a deadline")
set(CPACK_PACKAGE_DESCRIPTION
    "Vesperon shuts the computer down or restarts it at a chosen date and time, with a countdown \
under a large analog clock, a blinking tray icon and warning sounds. The package also carries the \
headers and CMake packages of its two widget libraries (Durix, Tamsel_Clock) and their Qt Designer \
plugin.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
# Reached at run time rather than linked: the session services over D-Bus, the window system
# through Qt's platform plugins, and the sound server's client library, which the program loads
# when it plays its first sound.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "dbus, qt6-qpa-plugins, libpulse0")
# Qt's Wayland platform plugin: without it Vesperon runs through XWayland on a Wayland desktop.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "systemd, qt6-wayland")
set(CPACK_GENERATOR DEB)
include(CPack)
