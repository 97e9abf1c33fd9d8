# pack follows links to files but no link to a folder: two links back to the
# folder itself made the walk endless, one repeated the tree.
include(${CMAKE_CURRENT_LIST_DIR}/run_tool.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
set(SRC ${WORK_DIR}/src)
file(MAKE_DIRECTORY ${SRC}/sub)
file(WRITE ${SRC}/f "x\n")
file(WRITE ${SRC}/sub/g "g\n")
file(CREATE_LINK . ${SRC}/a SYMBOLIC)
file(CREATE_LINK . ${SRC}/b SYMBOLIC)
file(CREATE_LINK .. ${SRC}/sub/up SYMBOLIC)
file(CREATE_LINK f ${SRC}/file-link SYMBOLIC)

run_tool(0 ${GRFTOOL} pack ${SRC} ${WORK_DIR}/o.grf)
run_tool(0 ${GRFTOOL} list ${WORK_DIR}/o.grf)
string(REGEX MATCHALL "[^ \n]+\n" names "${RUN_OUT}")
if(NOT "${names}" STREQUAL "f\n;file-link\n;sub/g\n")
  message(FATAL_ERROR "expected f, file-link and sub/g once each:\n${RUN_OUT}")
endif()
run_tool(0 ${GRFTOOL} --help)
expect_text("${RUN_OUT}" "links to folders are skipped" "help")

# The work folder goes with a passing run; a failing one leaves it to look at.
file(REMOVE_RECURSE ${WORK_DIR})
