# run_tool(<expected exit code> <program> <arguments...>): runs the program,
# fails the test unless it exits with that code, and leaves its output in
# RUN_OUT and RUN_ERR. A run that does not end is a failure too: the program
# may use RUN_TOOL_CPU_SECONDS of processor time. Unlike a limit on the clock,
# that one does not shrink when a busy machine gives the program less of its
# time, so a slow run (the generator under the sanitizers) is never stopped
# while a loop that never ends is. The program reads no input, so it cannot
# wait for any; CTest's own time limit is the last guard.
set(RUN_TOOL_CPU_SECONDS 300)
function(run_tool expect_code program)
  # Past the soft limit the program gets SIGXCPU (exit status 152); the hard
  # limit a little later kills one that ignores it.
  math(EXPR hard_limit "${RUN_TOOL_CPU_SECONDS} + 10")
  string(CONCAT wrapper "ulimit -H -t ${hard_limit}; ulimit -S -t ${RUN_TOOL_CPU_SECONDS}; \"$@\"; status=$?\n"
                "[ $status -eq 152 ] && echo 'run_tool: stopped after ${RUN_TOOL_CPU_SECONDS} s of processor time' >&2\n"
                "exit $status")
  execute_process(COMMAND sh -c "${wrapper}" run_tool ${program} ${ARGN}
                  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err INPUT_FILE /dev/null
                  WORKING_DIRECTORY ${WORK_DIR})
  if(NOT "${code}" STREQUAL "${expect_code}")
    message(FATAL_ERROR "${program} ${ARGN}: exit ${code}, expected ${expect_code}\n${out}\n${err}")
  endif()
  set(RUN_OUT "${out}" PARENT_SCOPE)
  set(RUN_ERR "${err}" PARENT_SCOPE)
endfunction()

function(expect_text text pattern what)
  string(FIND "${text}" "${pattern}" pos)
  if(pos EQUAL -1)
    message(FATAL_ERROR "${what}: '${pattern}' missing from:\n${text}")
  endif()
endfunction()

# Fails when anything but the named files is left in the folder (temporary
# files of a failed run).
function(expect_only_files folder)
  file(GLOB left RELATIVE ${folder} ${folder}/* ${folder}/.*)
  list(SORT left)
  set(expected ${ARGN})
  list(SORT expected)
  if(NOT "${left}" STREQUAL "${expected}")
    message(FATAL_ERROR "${folder} holds '${left}', expected '${expected}'")
  endif()
endfunction()
