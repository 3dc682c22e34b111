# SPDX-License-Identifier: GPL-3.0-or-later
include(GenerateExportHeader)

# Warnings for our own targets only; Qt's headers are system headers and stay quiet.
function(vesperon_target_warnings target)
    if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    elseif(MSVC)
        target_compile_options(${target} PRIVATE /W4)
    endif()
endfunction()

# One library of Vesperon, made the same way for all of them:
#
#   vesperon_add_library(NAME Durix SHARED
#       SOURCES spanfield.cpp spanfield.h ...
#       PUBLIC_HEADERS spanfield.h
#       LINK PUBLIC Vesperon::Hosting PRIVATE Vesperon::Common
#       EXPORT Durix
#       REGISTERS_CONTROLS)
#
# The target NAME gets the alias Vesperon::<NAME without a leading "Vesperon">, under which it is
# also exported, the project's warnings and its own folder (and, for a shared library, its binary
# folder) as include folders. A SHARED library gets an export header <name>_export.h with the
# macro <NAME>_EXPORT (VesperonHosting: vesperon_hosting_export.h, VESPERON_HOSTING_EXPORT), hidden
# symbols unless marked with that macro, VERSION and SOVERSION from the project's version, and is
# installed into the program folder. With EXPORT <package> it also joins the export set
# <package>Targets, and the PUBLIC_HEADERS and the export header are installed into
# include/<NAME>/: nothing else of the folder is public. STATIC libraries are never installed.
#
# REGISTERS_CONTROLS: the library registers hosted controls when it is loaded, and every target
# that links it keeps it (see controlregistry.h): the library defines the symbol
# vesperon_controls_<NAME>, and a small source that refers to it is compiled into every target
# that links the library, in this build and through its installed package.
function(vesperon_add_library)
    cmake_parse_arguments(ARG "SHARED;STATIC;REGISTERS_CONTROLS" "NAME;EXPORT" "SOURCES;PUBLIC_HEADERS;LINK" ${ARGN})
    set(name ${ARG_NAME})
    if(ARG_SHARED AND NOT ARG_STATIC)
        set(type SHARED)
    elseif(ARG_STATIC AND NOT ARG_SHARED)
        set(type STATIC)
    else()
        message(FATAL_ERROR "vesperon_add_library(${name}): say SHARED or STATIC")
    endif()
    if(type STREQUAL STATIC AND (ARG_EXPORT OR ARG_PUBLIC_HEADERS OR ARG_REGISTERS_CONTROLS))
        message(FATAL_ERROR "vesperon_add_library(${name}): a static library is never installed")
    endif()

    string(REGEX REPLACE "^Vesperon" "" short_name ${name})
    add_library(${name} ${type})
    add_library(Vesperon::${short_name} ALIAS ${name})
    target_sources(${name} PRIVATE ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}>)
    if(ARG_LINK)
        target_link_libraries(${name} ${ARG_LINK})
    endif()
    set_target_properties(${name} PROPERTIES
        EXPORT_NAME ${short_name}
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
    vesperon_target_warnings(${name})
    if(type STREQUAL STATIC)
        return()
    endif()

    # VesperonHosting -> VESPERON_HOSTING, Tamsel_Clock -> TAMSEL_CLOCK
    string(REGEX REPLACE "([a-z])([A-Z])" "\\1_\\2" base_name ${name})
    string(TOUPPER ${base_name} base_name)
    string(TOLOWER ${base_name} export_header)
    set(export_header ${CMAKE_CURRENT_BINARY_DIR}/${export_header}_export.h)
    generate_export_header(${name} BASE_NAME ${base_name} EXPORT_FILE_NAME ${export_header})
    target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${CMAKE_CURRENT_BINARY_DIR}>)
    set_target_properties(${name} PROPERTIES
        VERSION ${PROJECT_VERSION}
        SOVERSION ${PROJECT_VERSION_MAJOR})

    if(ARG_REGISTERS_CONTROLS)
        _vesperon_keep_control_library(${name} ${base_name} ${export_header} "${ARG_EXPORT}")
    endif()

    if(ARG_EXPORT)
        install(TARGETS ${name} EXPORT ${ARG_EXPORT}Targets
            RUNTIME DESTINATION ${VESPERON_INSTALL_PROGRAMDIR} COMPONENT Runtime
            LIBRARY DESTINATION ${VESPERON_INSTALL_PROGRAMDIR} COMPONENT Runtime
                NAMELINK_COMPONENT Development
            ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development)
        target_include_directories(${name} PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/${name}>)
        install(FILES ${ARG_PUBLIC_HEADERS} ${export_header}
            DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${name} COMPONENT Development)
    else()
        install(TARGETS ${name}
            RUNTIME DESTINATION ${VESPERON_INSTALL_PROGRAMDIR} COMPONENT Runtime
            LIBRARY DESTINATION ${VESPERON_INSTALL_PROGRAMDIR} COMPONENT Runtime NAMELINK_SKIP)
    endif()
endfunction()

# The two halves of REGISTERS_CONTROLS: the symbol in the library and the reference to it that
# every target linking the library compiles.
function(_vesperon_keep_control_library name base_name export_header package)
    set(VESPERON_CONTROLS_SYMBOL vesperon_controls_${name})
    set(VESPERON_EXPORT_MACRO ${base_name}_EXPORT)
    get_filename_component(VESPERON_EXPORT_HEADER ${export_header} NAME)
    set(templates ${PROJECT_SOURCE_DIR}/cmake)
    set(symbol_source ${CMAKE_CURRENT_BINARY_DIR}/${name}_controls.cpp)
    set(keep_source ${CMAKE_CURRENT_BINARY_DIR}/${name}_keep.cpp)
    configure_file(${templates}/controlssymbol.cpp.in ${symbol_source} @ONLY)
    configure_file(${templates}/controlskeep.cpp.in ${keep_source} @ONLY)
    target_sources(${name} PRIVATE ${symbol_source})
    target_sources(${name} INTERFACE $<BUILD_INTERFACE:${keep_source}>)
    if(package)
        set(package_dir ${VESPERON_INSTALL_CMAKEDIR}/${package})
        target_sources(${name} INTERFACE $<INSTALL_INTERFACE:${package_dir}/${name}_keep.cpp>)
        install(FILES ${keep_source} DESTINATION ${package_dir} COMPONENT Development)
    endif()
endfunction()

# Registers one test with CTest, with a time limit and headless (QT_QPA_PLATFORM=offscreen) unless it
# starts a display of its own (OWN_DISPLAY).
#   vesperon_add_test(NAME tst_foo SOURCES tst_foo.cpp LIBRARIES Vesperon::Durix [ENVIRONMENT ...])
# builds a Qt Test executable;
#   vesperon_add_test(NAME test_foo PYTHON test_foo.py [ARGS ...] [OWN_DISPLAY] [ENVIRONMENT ...])
# runs a Python test with the system's interpreter (which has python-dbusmock), able to import
# vesperontest from testsupport/.
function(vesperon_add_test)
    cmake_parse_arguments(ARG "OWN_DISPLAY" "NAME;PYTHON" "SOURCES;LIBRARIES;ARGS;ENVIRONMENT" ${ARGN})
    set(environment ${ARG_ENVIRONMENT})
    if(NOT ARG_OWN_DISPLAY)
        list(PREPEND environment QT_QPA_PLATFORM=offscreen)
    endif()
    if(ARG_PYTHON)
        add_test(NAME ${ARG_NAME}
            COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_PYTHON} ${ARG_ARGS})
        list(APPEND environment PYTHONPATH=${PROJECT_SOURCE_DIR}/testsupport)
    else()
        add_executable(${ARG_NAME} ${ARG_SOURCES})
        target_link_libraries(${ARG_NAME} PRIVATE Qt6::Test ${ARG_LIBRARIES})
        set_target_properties(${ARG_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
        vesperon_target_warnings(${ARG_NAME})
        add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME} ${ARG_ARGS})
    endif()
    set_tests_properties(${ARG_NAME} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 120)
endfunction()
