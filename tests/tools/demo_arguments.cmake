# A demo program (DEMO, named NAME) takes only its documented arguments:
# anything else, a screenshot path where nothing can be saved too, is refused
# with what was wrong and exit code 2 before a window opens or a frame runs.
include(${CMAKE_CURRENT_LIST_DIR}/run_tool.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR} ${WORK_DIR}/folder.bmp)

run_tool(0 ${DEMO} --help)
expect_text("${RUN_OUT}" "usage: ${NAME}" "help")
expect_text("${RUN_OUT}" "Exit codes" "help")
foreach(case
    "--frames;abc|whole number"
    "--frames;0|whole number"
    "--frames;12x|whole number"
    "--frames|whole number"
    "--bogus|unknown option '--bogus'"
    "one.bmp;two.bmp|one screenshot path only"
    "shot.png|BMP")
  string(REPLACE "|" ";" parts "${case}")
  list(POP_BACK parts message)
  run_tool(2 ${DEMO} ${parts})
  expect_text("${RUN_ERR}" "${message}" "${NAME} ${parts}")
  expect_text("${RUN_ERR}" "usage: ${NAME}" "${NAME} ${parts}")
endforeach()
# A run of all those frames would outlast run_tool's minute: the path is
# refused first.
foreach(case
    "missing/shot.bmp|its folder does not exist"
    "folder.bmp|it is a folder")
  string(REPLACE "|" ";" parts "${case}")
  list(POP_BACK parts message)
  run_tool(2 ${DEMO} --frames 100000 ${parts})
  expect_text("${RUN_ERR}" "can't save the screenshot as '${parts}': ${message}" "${NAME} ${parts}")
endforeach()
expect_only_files(${WORK_DIR} folder.bmp)

# The work folder goes with a passing run; a failing one leaves it to look at.
file(REMOVE_RECURSE ${WORK_DIR})
