# The generated content: two runs give the same archives byte for byte, the
# set passes the content check with every name of the name list and of the
# names headers, and it
# stays under 20 MB.
include(${CMAKE_CURRENT_LIST_DIR}/run_tool.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/first ${WORK_DIR}/second)
run_tool(0 ${CONTENTGEN} ${CONTENT_DIR} ${FONT_DIR} ${WORK_DIR}/first)
run_tool(0 ${CONTENTGEN} ${CONTENT_DIR} ${FONT_DIR} ${WORK_DIR}/second)
set(archives lang_en common chars0 chars1 scene0 scene1 scene2 scene3 scene4 dresses map sfx store)
set(total 0)
foreach(archive IN LISTS archives)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK_DIR}/first/${archive}.dat
                          ${WORK_DIR}/second/${archive}.dat RESULT_VARIABLE diff)
  if(NOT diff EQUAL 0)
    message(FATAL_ERROR "${archive}.dat differs between two runs of the generator")
  endif()
  file(SIZE ${WORK_DIR}/first/${archive}.dat size)
  math(EXPR total "${total} + ${size}")
endforeach()
expect_only_files(${WORK_DIR}/first lang_en.dat common.dat chars0.dat chars1.dat scene0.dat scene1.dat scene2.dat
                  scene3.dat scene4.dat dresses.dat map.dat sfx.dat store.dat)
if(total GREATER 20000000)
  message(FATAL_ERROR "the archives hold ${total} bytes, over 20 MB")
endif()
# Every name of the content name list and of the game's names headers resolves.
set(headers)
foreach(header ${SOURCE_DIR}/src/base/names.h ${SOURCE_DIR}/gamelib/src/screens/names.h)
  if(EXISTS ${header})
    list(APPEND headers ${header})
  endif()
endforeach()
run_tool(0 ${CONTENTGEN} --check ${WORK_DIR}/first ${CONTENT_DIR}/names.txt ${headers})
file(REMOVE_RECURSE ${WORK_DIR})
