# The tools' runner stops a program by the processor time it used, not by the
# clock: a program that waits past its limit passes, one that spins is
# stopped, and the failure says why.
include(${CMAKE_CURRENT_LIST_DIR}/run_tool.cmake)
set(RUN_TOOL_CPU_SECONDS 1)
if(SPIN)
  run_tool(0 sh -c "while :\ndo :\ndone")
  return()
endif()
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
run_tool(0 sleep 3)
execute_process(COMMAND ${CMAKE_COMMAND} -DWORK_DIR=${WORK_DIR} -DSPIN=ON -P ${CMAKE_CURRENT_LIST_FILE}
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 600)
file(REMOVE_RECURSE ${WORK_DIR})
if(code EQUAL 0)
  message(FATAL_ERROR "a program that never ends passed")
endif()
expect_text("${err}" "stopped after 1 s of processor time" "a program that never ends")
