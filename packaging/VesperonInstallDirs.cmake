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

# Installs a library into the program folder and, with HEADERS, its public headers into
# include/<target>/, which the installed target then uses as its include folder.
#   vesperon_install_library(Durix EXPORT DurixTargets HEADERS spanfield.h ...)
function(vesperon_install_library target)
    cmake_parse_arguments(ARG "" "EXPORT" "HEADERS" ${ARGN})
    set(export_args)
    if(ARG_EXPORT)
        set(export_args EXPORT ${ARG_EXPORT})
    endif()
    install(TARGETS ${target} ${export_args}
        RUNTIME DESTINATION ${VESPERON_INSTALL_PROGRAMDIR} COMPONENT Runtime
        LIBRARY DESTINATION ${VESPERON_INSTALL_PROGRAMDIR} COMPONENT Runtime
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development)
    if(ARG_HEADERS)
        target_include_directories(${target} PUBLIC
            $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/${target}>)
        install(FILES ${ARG_HEADERS}
            DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${target} COMPONENT Development)
    endif()
endfunction()
