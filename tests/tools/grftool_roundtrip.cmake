# Packs a folder, lists the archive, extracts every entry and compares it with
# its source; then checks that bad input fails with a message and exit code 1.
include(${CMAKE_CURRENT_LIST_DIR}/run_tool.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
set(SRC ${WORK_DIR}/src)
file(MAKE_DIRECTORY ${SRC}/sub/deeper)
file(WRITE ${SRC}/hello.txt "Hello, archive!\n")
file(WRITE ${SRC}/empty.bin "")
string(REPEAT "a fairly compressible line of text\n" 500 LONG_TEXT)
file(WRITE ${SRC}/sub/long.txt "${LONG_TEXT}")
file(WRITE ${SRC}/sub/deeper/leaf.dat "leaf")
set(NAMES hello.txt empty.bin sub/long.txt sub/deeper/leaf.dat)

run_tool(0 ${GRFTOOL} pack ${SRC} ${WORK_DIR}/test.grf)
run_tool(0 ${GRFTOOL} list ${WORK_DIR}/test.grf)
set(LISTING "${RUN_OUT}")
foreach(name IN LISTS NAMES)
  string(FIND "${LISTING}" " ${name}\n" pos)
  if(pos EQUAL -1)
    message(FATAL_ERROR "list does not show ${name}:\n${LISTING}")
  endif()
  run_tool(0 ${GRFTOOL} extract ${WORK_DIR}/test.grf ${name} ${WORK_DIR}/out.bin)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SRC}/${name} ${WORK_DIR}/out.bin RESULT_VARIABLE diff)
  if(NOT diff EQUAL 0)
    message(FATAL_ERROR "extracted ${name} differs from its source")
  endif()
endforeach()

# Bad input: a missing entry, a file that is no archive, a missing folder, bad usage.
run_tool(1 ${GRFTOOL} extract ${WORK_DIR}/test.grf no-such-entry ${WORK_DIR}/out.bin)
run_tool(1 ${GRFTOOL} list ${SRC}/hello.txt)
if(NOT RUN_ERR MATCHES "hello.txt")
  message(FATAL_ERROR "error text does not name the file: ${RUN_ERR}")
endif()
run_tool(1 ${GRFTOOL} pack ${WORK_DIR}/no-such-folder ${WORK_DIR}/x.grf)
# A failed pack cleans up its half-written archive, never what is no plain file.
file(MAKE_DIRECTORY ${WORK_DIR}/a-folder)
run_tool(1 ${GRFTOOL} pack ${SRC} ${WORK_DIR}/a-folder)
if(NOT IS_DIRECTORY ${WORK_DIR}/a-folder)
  message(FATAL_ERROR "a failed pack removed the folder it was pointed at")
endif()
# A write that fails only when the file is closed still fails the command.
if(EXISTS /dev/full)
  run_tool(1 ${GRFTOOL} extract ${WORK_DIR}/test.grf hello.txt /dev/full)
endif()
run_tool(2 ${GRFTOOL} frobnicate)

# The work folder goes with a passing run; a failing one leaves it to look at.
file(REMOVE_RECURSE ${WORK_DIR})
