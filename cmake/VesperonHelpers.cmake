# SPDX-License-Identifier: GPL-3.0-or-later

# Warnings for our own targets only; Qt's headers are system headers and stay quiet.
function(vesperon_target_warnings target)
    if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    elseif(MSVC)
        target_compile_options(${target} PRIVATE /W4)
    endif()
endfunction()

# One Qt Test executable, registered with CTest, headless unless the test brings its own display.
#   vesperon_add_test(NAME tst_foo SOURCES tst_foo.cpp LIBRARIES Vesperon::Durix [ENVIRONMENT ...])
function(vesperon_add_test)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBRARIES;ENVIRONMENT" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_libraries(${ARG_NAME} PRIVATE Qt6::Test ${ARG_LIBRARIES})
    set_target_properties(${ARG_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    vesperon_target_warnings(${ARG_NAME})
    add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME})
    set_tests_properties(${ARG_NAME} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${ARG_ENVIRONMENT}"
        TIMEOUT 120)
endfunction()

# A program that creates controls only by their identifiers uses no symbol of the libraries that
# register them; linkers that drop such libraries (--as-needed) must keep these.
#   target_link_libraries(app PRIVATE "$<LINK_LIBRARY:REGISTERED_CONTROLS,Vesperon::Durix>")
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" AND NOT APPLE)
    set(CMAKE_LINK_LIBRARY_USING_REGISTERED_CONTROLS
        "LINKER:--push-state,--no-as-needed" "<LINK_ITEM>" "LINKER:--pop-state")
else()
    set(CMAKE_LINK_LIBRARY_USING_REGISTERED_CONTROLS "<LINK_ITEM>")
endif()
set(CMAKE_LINK_LIBRARY_USING_REGISTERED_CONTROLS_SUPPORTED TRUE)
