# A failed pack or extract leaves the target as it was and no file of its own.
include(${CMAKE_CURRENT_LIST_DIR}/run_tool.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
set(OUT ${WORK_DIR}/out)
file(MAKE_DIRECTORY ${WORK_DIR}/good ${WORK_DIR}/bad ${WORK_DIR}/big ${OUT})
file(WRITE ${WORK_DIR}/good/a.txt "a good archive\n")
file(WRITE ${WORK_DIR}/bad/ok.txt "fine\n")
file(WRITE "${WORK_DIR}/bad/back\\slash.txt" "no entry name\n")
string(RANDOM LENGTH 300000 noise)
file(WRITE ${WORK_DIR}/big/noise.txt "${noise}")

run_tool(0 ${GRFTOOL} pack ${WORK_DIR}/good ${OUT}/a.grf)
file(READ ${OUT}/a.grf before HEX)

# Fails unless the archive holds exactly what it held before.
function(expect_archive_kept what)
  file(READ ${OUT}/a.grf after HEX)
  if(NOT before STREQUAL after)
    message(FATAL_ERROR "${what} changed the archive it would have replaced")
  endif()
endfunction()

# A failure found while packing: the archive that was there stays whole.
run_tool(1 ${GRFTOOL} pack ${WORK_DIR}/bad ${OUT}/a.grf)
expect_archive_kept("a failed pack")
expect_only_files(${OUT} a.grf)

# A failure while writing (the file-size limit stands in for a full disk).
# (Lines, not ';': a CMake list would split the script there.)
set(LIMITED sh -c "trap '' XFSZ\nulimit -f 16\nexec \"$0\" \"$@\"")
run_tool(1 ${LIMITED} ${GRFTOOL} pack ${WORK_DIR}/big ${OUT}/a.grf)
expect_archive_kept("a pack that ran out of space")
run_tool(1 ${LIMITED} ${GRFTOOL} pack ${WORK_DIR}/big ${OUT}/new.grf)
expect_only_files(${OUT} a.grf)

run_tool(0 ${GRFTOOL} pack ${WORK_DIR}/big ${WORK_DIR}/big.grf)
file(WRITE ${OUT}/noise.txt "old contents\n")
run_tool(1 ${LIMITED} ${GRFTOOL} extract ${WORK_DIR}/big.grf noise.txt ${OUT}/noise.txt)
file(READ ${OUT}/noise.txt kept)
if(NOT kept STREQUAL "old contents\n")
  message(FATAL_ERROR "a failed extract changed the file it would have replaced")
endif()
expect_only_files(${OUT} a.grf noise.txt)

# A file we may not write is refused, never replaced or removed (root may
# write anything, so this part needs another user).
execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT uid STREQUAL "0")
  file(CHMOD ${OUT}/a.grf PERMISSIONS OWNER_READ)
  run_tool(1 ${GRFTOOL} pack ${WORK_DIR}/good ${OUT}/a.grf)
  expect_archive_kept("a pack onto a read-only file")
endif()

# The work folder goes with a passing run; a failing one leaves it to look at.
file(REMOVE_RECURSE ${WORK_DIR})
