# cmake -DSCRATCH=<folder> -DMODE=prepare|check -P scratch_check.cmake
# prepare: makes the tests' scratch root. check: fails, naming them, when
# files or folders are left in it (each is named after the test that made
# it), then removes them so the next run starts clean.
if(MODE STREQUAL "prepare")
  file(MAKE_DIRECTORY ${SCRATCH})
  return()
endif()
file(GLOB left RELATIVE ${SCRATCH} ${SCRATCH}/* ${SCRATCH}/.*)
if(left)
  list(SORT left)
  string(REPLACE ";" "\n  " shown "${left}")
  list(TRANSFORM left PREPEND ${SCRATCH}/)
  file(REMOVE_RECURSE ${left})
  message(FATAL_ERROR "Tests left these behind in ${SCRATCH}:\n  ${shown}")
endif()
