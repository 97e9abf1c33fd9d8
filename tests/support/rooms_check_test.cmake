# Cases of rooms_point_downward.cmake over small trees of two rooms, "low"
# under "high". Run as: cmake -DCHECK=<the check> -DWORK=<scratch folder> -P ...
# Each case: its name, the file it writes, the line in it, the check's options
# and whether the check must pass.
cmake_policy(VERSION 3.16)
set(cases
  "include_up|low/a.h|#include \"high/b.h\"||fail"
  "relative_include_up|low/deep/a.h|#include \"../../high/b.h\"||fail"
  "include_down|high/c.h|#include \"low/a.h\"||pass"
  "relative_within_room|low/deep/a.h|#include \"../a.h\"||pass"
  "unnamed_room|other/a.h|#include \"high/b.h\"|-DALL_ROOMS=ON|fail"
  "unnamed_room_unchecked|other/a.h|#include \"high/b.h\"||pass")
set(failures "")
foreach(entry ${cases})
  string(REPLACE "|" ";" fields "${entry}")
  list(GET fields 0 name)
  list(GET fields 1 file)
  list(GET fields 2 line)
  list(GET fields 3 options)
  list(GET fields 4 expected)
  set(tree "${WORK}/${name}")
  file(REMOVE_RECURSE "${tree}")
  file(WRITE "${tree}/low/a.h" "#pragma once\n")
  file(WRITE "${tree}/high/b.h" "#pragma once\n")
  file(APPEND "${tree}/${file}" "${line}\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DSRC=${tree} "-DTIERS=low|high" ${options} -P ${CHECK}
                  RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  if(result EQUAL 0)
    set(actual pass)
  else()
    set(actual fail)
  endif()
  if(NOT actual STREQUAL expected)
    list(APPEND failures "${name}: the check should ${expected}, it did ${actual}")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
if(failures)
  string(JOIN "\n" text ${failures})
  message(FATAL_ERROR "${text}")
endif()
