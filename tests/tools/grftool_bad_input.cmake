# Input the tool can't take gets a message saying what is wrong and exit code 1.
include(${CMAKE_CURRENT_LIST_DIR}/run_tool.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
set(SRC ${WORK_DIR}/src)
file(MAKE_DIRECTORY ${SRC})
file(WRITE ${SRC}/a.txt "a\n")

# The archive may not be written into the folder it packs.
run_tool(1 ${GRFTOOL} pack ${SRC} ${SRC}/out.grf)
expect_text("${RUN_ERR}" "inside the folder" "archive inside its folder")
expect_only_files(${SRC} a.txt)

# A name no entry may have is reported as such, not as a vanished file.
file(WRITE "${SRC}/back\\slash.txt" "b\n")
run_tool(1 ${GRFTOOL} pack ${SRC} ${WORK_DIR}/out.grf)
expect_text("${RUN_ERR}" "may not contain a backslash" "backslash in a name")
file(REMOVE "${SRC}/back\\slash.txt")

# A file that can't be read is named with the reason (root reads anything).
execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT uid STREQUAL "0")
  file(WRITE ${SRC}/secret.txt "s\n")
  file(CHMOD ${SRC}/secret.txt PERMISSIONS OWNER_WRITE)
  run_tool(1 ${GRFTOOL} pack ${SRC} ${WORK_DIR}/out.grf)
  expect_text("${RUN_ERR}" "secret.txt' (mode 1) : Permission denied" "unreadable file")
  file(REMOVE ${SRC}/secret.txt)
endif()

# Names are shown with their control characters escaped, never raw.
string(ASCII 27 ESC)
file(WRITE "${SRC}/${ESC}[2Jclear" "c\n")
file(WRITE "${SRC}/two\nlines" "l\n")
run_tool(0 ${GRFTOOL} pack ${SRC} ${WORK_DIR}/out.grf)
run_tool(0 ${GRFTOOL} list ${WORK_DIR}/out.grf)
expect_text("${RUN_OUT}" " \\x1B[2Jclear\n" "escaped ESC")
expect_text("${RUN_OUT}" " two\\x0Alines\n" "escaped line feed")
string(FIND "${RUN_OUT}" "${ESC}" raw)
if(NOT raw EQUAL -1)
  message(FATAL_ERROR "list printed a raw escape character")
endif()

# An empty path names no file; no stale error text.
execute_process(COMMAND ${GRFTOOL} list "" RESULT_VARIABLE code ERROR_VARIABLE err TIMEOUT 60)
if(NOT code EQUAL 1)
  message(FATAL_ERROR "grftool list '': exit ${code}, expected 1\n${err}")
endif()
expect_text("${err}" "empty path" "empty archive path")

# A wrong command line is refused with what is wrong about it.
foreach(case
    "|no command given"
    "frobnicate|unknown command 'frobnicate'"
    "list|list takes an archive (got 0 arguments)"
    "pack;${SRC}|pack takes a folder and an archive (got 1 argument)"
    "extract;a.grf;e;out;more|extract takes an archive, an entry name and an output file (got 4 arguments)")
  string(REPLACE "|" ";" parts "${case}")
  list(POP_BACK parts message)
  run_tool(2 ${GRFTOOL} ${parts})
  expect_text("${RUN_ERR}" "grftool: ${message}\n" "grftool ${parts}")
  expect_text("${RUN_ERR}" "usage: grftool" "grftool ${parts}")
endforeach()

# A file that is no archive is called that, and errors carry no place in the
# engine's sources.
file(WRITE ${WORK_DIR}/notes.txt "just some text\n")
file(WRITE ${WORK_DIR}/empty.grf "")
foreach(command "list;${WORK_DIR}/notes.txt" "list;${WORK_DIR}/empty.grf" "extract;${WORK_DIR}/notes.txt;a.txt;${WORK_DIR}/a.txt")
  run_tool(1 ${GRFTOOL} ${command})
  expect_text("${RUN_ERR}" "is not an archive" "grftool ${command}")
endforeach()
run_tool(1 ${GRFTOOL} list ${WORK_DIR}/no-such.grf)
expect_text("${RUN_ERR}" "no-such.grf" "a missing archive")
if(RUN_ERR MATCHES "Exception|\\.cpp|, line [0-9]")
  message(FATAL_ERROR "grftool shows where in its sources the error was raised:\n${RUN_ERR}")
endif()

# The work folder goes with a passing run; a failing one leaves it to look at.
file(REMOVE_RECURSE ${WORK_DIR})
