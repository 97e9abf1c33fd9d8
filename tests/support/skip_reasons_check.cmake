# cmake -DSOURCE=<source folder> -DWORK_DIR=<folder> -P skip_reasons_check.cmake
# CTest's output gives each skipped test's reason: a small project set up with
# the suite's own test functions, Xvfb taken as missing, is configured and its
# tests run by CTest as the suite is; the reasons of a GoogleTest-style skip
# and of the Xvfb stand-in must follow the summary, and nothing of the tests
# that passed or failed.
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/project)
file(WRITE ${WORK_DIR}/project/CMakeLists.txt [=[
cmake_minimum_required(VERSION 3.20)
project(skips NONE)
# Searching neither the system's folders nor PATH, the set-up finds no Xvfb.
set(CMAKE_FIND_USE_CMAKE_SYSTEM_PATH OFF)
set(CMAKE_FIND_USE_SYSTEM_ENVIRONMENT_PATH OFF)
include(${TSL_SOURCE}/cmake/TslTesting.cmake)
enable_testing()
tsl_show_skip_reasons()
add_test(NAME widget COMMAND sh -c
  "printf 'widget_test.cpp:12: Skipped\\nno widget here,\\nnor there\\n[  SKIPPED ] Widget.Shows\\n'")
set_tests_properties(widget PROPERTIES SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
tsl_add_xvfb_test(NAME window COMMAND true)
# The suite's environment check lists the tests with CTest while they run;
# the run's log, which holds the reasons, must survive that.
add_test(NAME lists COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DWORK_DIR=${CMAKE_BINARY_DIR}/listing
                            -DEXPECTED=X=1 -P ${TSL_SOURCE}/tests/support/environment_check.cmake)
set_tests_properties(lists PROPERTIES PASS_REGULAR_EXPRESSION "no GoogleTest case found")
add_test(NAME passes COMMAND sh -c "echo 'Skipped: nothing'; echo 'x.cpp:1: Skipped'; echo 'not a reason'")
add_test(NAME fails COMMAND sh -c "echo 'Skipped: nothing'; exit 1")
]=])
execute_process(COMMAND ${CMAKE_COMMAND} -S ${WORK_DIR}/project -B ${WORK_DIR}/build -DTSL_SOURCE=${SOURCE}
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code EQUAL 0)
  file(REMOVE_RECURSE ${WORK_DIR})
  message(FATAL_ERROR "the project did not configure:\n${out}\n${err}")
endif()
execute_process(COMMAND ${CMAKE_CTEST_COMMAND} --output-on-failure WORKING_DIRECTORY ${WORK_DIR}/build
                OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(REMOVE_RECURSE ${WORK_DIR})
set(output "${out}${err}")
string(FIND "${output}" "The following tests did not run:" summary)
string(FIND "${output}" "Why the skipped tests did not run:" heading)
if(summary EQUAL -1 OR heading LESS summary)
  message(FATAL_ERROR "no reasons after the summary in:\n${output}")
endif()
foreach(expected
    "1 - widget: no widget here, nor there"
    "2 - window: needs Xvfb, which was not found when the build was configured")
  string(FIND "${output}" "${expected}" pos)
  if(pos LESS heading)
    message(FATAL_ERROR "'${expected}' missing after the summary in:\n${output}")
  endif()
endforeach()
foreach(unexpected "lists:" "passes:" "fails:" "not a reason")
  string(FIND "${output}" "${unexpected}" pos)
  if(pos GREATER heading)
    message(FATAL_ERROR "'${unexpected}' is not a skipped test's reason:\n${output}")
  endif()
endforeach()
