# SPDX-License-Identifier: GPL-3.0-or-later
# Where an installed Vesperon lives. The program folder keeps the program, its libraries and its
# sound/ folder together, as in the build, so the program finds everything beside itself; the
# libraries find each other and the program finds them through an RPATH of $ORIGIN.
include(GNUInstallDirs)
set(VESPERON_INSTALL_PROGRAMDIR "lib/vesperon" CACHE STRING
    "The program folder, relative to the install prefix")
set(VESPERON_INSTALL_CMAKEDIR "${CMAKE_INSTALL_LIBDIR}/cmake" CACHE STRING
    "Where the CMake packages of the widget libraries go, relative to the install prefix")
if(NOT APPLE AND NOT WIN32)
    set(CMAKE_INSTALL_RPATH "$ORIGIN")
endif()

