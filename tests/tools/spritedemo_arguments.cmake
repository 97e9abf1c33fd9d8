# spritedemo takes only its documented arguments: anything else is refused
# with a message and exit code 2 before a window opens or a file is written.
include(${CMAKE_CURRENT_LIST_DIR}/run_tool.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

run_tool(0 ${SPRITEDEMO} --help)
expect_text("${RUN_OUT}" "usage: spritedemo" "help")
foreach(case
    "--frames;abc|whole number"
    "--frames;0|whole number"
    "--frames;12x|whole number"
    "--frames|whole number"
    "--bogus|unknown option"
    "one.bmp;two.bmp|one screenshot path only"
    "shot.png|BMP")
  string(REPLACE "|" ";" parts "${case}")
  list(POP_BACK parts message)
  run_tool(2 ${SPRITEDEMO} ${parts})
  expect_text("${RUN_ERR}" "${message}" "spritedemo ${parts}")
endforeach()
expect_only_files(${WORK_DIR})

# The work folder goes with a passing run; a failing one leaves it to look at.
file(REMOVE_RECURSE ${WORK_DIR})
