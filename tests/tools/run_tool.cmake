# run_tool(<expected exit code> <program> <arguments...>): runs the program,
# fails the test unless it exits with that code, and leaves its output in
# RUN_OUT and RUN_ERR. A run that does not end is a failure too; the bound is
# for a hang only: a sanitizer build on a busy machine takes over a minute to
# make the whole content.
function(run_tool expect_code program)
  execute_process(COMMAND ${program} ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err
                  TIMEOUT 600 WORKING_DIRECTORY ${WORK_DIR})
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
