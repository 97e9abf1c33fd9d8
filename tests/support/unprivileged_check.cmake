# cmake -DWORK_DIR=<folder> -DRUNS=<program>@<test filter>;... -P unprivileged_check.cmake
# The pieces of tests that meet file modes as a player does
# (tests/support/unprivileged.h) must work wherever the build lies: their
# tests run here with their folders below one that only its owner may enter,
# as a checkout in /root or in a folder made by mktemp is.
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/closed/tmp)
file(CHMOD ${WORK_DIR}/closed PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(failures "")
foreach(run ${RUNS})
  string(REPLACE "@" ";" parts "${run}")
  list(GET parts 0 program)
  list(GET parts 1 filter)
  # Each pattern must name a test: one renamed would otherwise leave the run
  # unnoticed while the others still pass.
  string(REPLACE ":" ";" patterns "${filter}")
  foreach(pattern ${patterns})
    execute_process(COMMAND ${program} --gtest_list_tests --gtest_filter=${pattern}
                    OUTPUT_VARIABLE listed ERROR_VARIABLE listed)
    if(NOT listed MATCHES "\n  [A-Za-z]")
      string(APPEND failures "${program}: --gtest_filter=${pattern} matches no test\n")
    endif()
  endforeach()
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TSL_TEST_TMP=${WORK_DIR}/closed/tmp
                          SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ${program} --gtest_filter=${filter}
                  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
  # A filter that matches nothing passes too: at least one test must have run.
  if(NOT code EQUAL 0 OR NOT out MATCHES "PASSED  \\] [1-9]")
    string(APPEND failures "${program} --gtest_filter=${filter} (exit ${code}):\n${out}\n")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK_DIR})
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
