# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DOBJDUMP=... -DPROGRAMS="a.exe;b.exe" -DSYSTEM_PART=lib.a -P checkimports.cmake
# Fails when one of PROGRAMS imports ExitWindowsEx, or when SYSTEM_PART (which must) does not
# refer to it.
foreach(program IN LISTS PROGRAMS)
    execute_process(COMMAND ${OBJDUMP} -p ${program} OUTPUT_VARIABLE imports RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${OBJDUMP} -p ${program} failed")
    endif()
    if(imports MATCHES "ExitWindowsEx")
        message(FATAL_ERROR "${program} imports ExitWindowsEx")
    endif()
    message(STATUS "no ExitWindowsEx in ${program}")
endforeach()
execute_process(COMMAND ${OBJDUMP} -t ${SYSTEM_PART} OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT symbols MATCHES "ExitWindowsEx")
    message(FATAL_ERROR "${SYSTEM_PART} does not refer to ExitWindowsEx: the check above proves nothing")
endif()
