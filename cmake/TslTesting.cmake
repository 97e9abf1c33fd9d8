# Where tests write: every GoogleTest case makes a folder of its own under it
# (tests/support/test_main.cpp) and removes it; the tools' tests use a folder
# named after the test. The check test-tmp.leftovers runs after all tests that
# use it and fails when anything is left there.
set(TSL_TEST_TMP ${CMAKE_BINARY_DIR}/test-tmp)
set(TSL_TEST_ENVIRONMENT SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy TSL_TEST_TMP=${TSL_TEST_TMP})

# tsl_test_uses_scratch(<test...>): the tests write under TSL_TEST_TMP, so they
# run between its preparation and the leftover check.
function(tsl_test_uses_scratch)
  set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED tsl_test_tmp)
endfunction()

# tsl_add_test(<name> SOURCES ... LIBS ...)
# One GoogleTest executable per area; every test runs headless.
function(tsl_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} tsl_test_main)
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_LIST ${name}_TESTS)
  # gtest_discover_tests passes its PROPERTIES on as a flat list, so a list
  # value such as ENVIRONMENT arrives split into separate properties. The
  # discovered tests are given their properties by a script CTest reads after
  # the discovery's own.
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake)
  file(WRITE ${script}
    "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES\n"
    "    ENVIRONMENT \"${TSL_TEST_ENVIRONMENT}\"\n"
    "    FIXTURES_REQUIRED tsl_test_tmp)\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()

# tsl_show_skip_reasons(): after every run in this build folder, CTest prints
# why each skipped test was skipped (tests/support/skip-reasons.sh); its own
# summary only names them. A skip gives its reason in GoogleTest's way
# (GTEST_SKIP() << reason) or as a line "Skipped: <reason>".
function(tsl_show_skip_reasons)
  set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../tests/support/skip-reasons.sh)
  set(logs ${CMAKE_BINARY_DIR}/Testing/Temporary)
  file(WRITE ${CMAKE_BINARY_DIR}/CTestCustom.cmake
    "set(CTEST_CUSTOM_POST_TEST \"bash \\\"${script}\\\" \\\"${logs}\\\"\")\n")
endfunction()

# tsl_add_xvfb_test(NAME <name> COMMAND <command...> [ENVIRONMENT <VAR=value...>])
# A test that needs an X server: runs the command under a private Xvfb that is
# known to accept connections (tests/support/xvfb-run-ready.sh), with the SDL
# x11 driver, TSL_TEST_XVFB=1 and the leak-checker suppressions for the X11
# client library. Where Xvfb is missing, the test is skipped with that reason.
find_program(TSL_XVFB Xvfb)
function(tsl_add_xvfb_test)
  cmake_parse_arguments(T "" "NAME" "COMMAND;ENVIRONMENT" ${ARGN})
  if(NOT T_NAME OR NOT T_COMMAND)
    message(FATAL_ERROR "tsl_add_xvfb_test needs NAME and COMMAND")
  endif()
  if(NOT TSL_XVFB)
    add_test(NAME ${T_NAME} COMMAND ${CMAKE_COMMAND} -E echo
      "Skipped: needs Xvfb, which was not found when the build was configured (Debian package xvfb)")
    set_tests_properties(${T_NAME} PROPERTIES SKIP_REGULAR_EXPRESSION "Skipped: ")
    return()
  endif()
  add_test(NAME ${T_NAME}
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/support/xvfb-run-ready.sh ${T_COMMAND})
  set(environment SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy TSL_TEST_XVFB=1
    LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan.supp
    TSL_TEST_TMP=${TSL_TEST_TMP} ${T_ENVIRONMENT})
  # Each run has a display of its own, so these tests may run in parallel.
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 120)
  tsl_test_uses_scratch(${T_NAME})
endfunction()

# tsl_add_demo_test(NAME <name> [XVFB] COMMAND <program> <arguments...>)
# Runs a demo program in a folder of its own under TSL_TEST_TMP, removed after
# the run, so the screenshot it saves (a relative path) lands there. Headless
# with the dummy drivers, or with XVFB under a private X server.
function(tsl_add_demo_test)
  cmake_parse_arguments(T "XVFB" "NAME" "COMMAND" ${ARGN})
  set(command ${CMAKE_COMMAND} -DFOLDER=${TSL_TEST_TMP}/${T_NAME}
      -P ${PROJECT_SOURCE_DIR}/tests/support/run_in_scratch.cmake -- ${T_COMMAND})
  if(T_XVFB)
    tsl_add_xvfb_test(NAME ${T_NAME} COMMAND ${command})
    return()
  endif()
  add_test(NAME ${T_NAME} COMMAND ${command})
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${TSL_TEST_ENVIRONMENT}" TIMEOUT 60)
  tsl_test_uses_scratch(${T_NAME})
endfunction()

# tsl_add_header_check(<name> ROOT <folder> LIBS <targets...>)
# Every header under the folder, its subfolders included, compiled on its own
# in a translation unit of its own, with the include folders and definitions
# of the targets: a header that leans on what its includer happened to
# include first breaks the build here. The units are part of the normal build
# (an object library); they change only when headers come or go.
function(tsl_add_header_check name)
  cmake_parse_arguments(H "" "ROOT" "LIBS" ${ARGN})
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${H_ROOT}/*.h)
  set(units "")
  foreach(header ${headers})
    file(RELATIVE_PATH relative ${H_ROOT} ${header})
    string(MAKE_C_IDENTIFIER ${relative} unit)
    set(unit ${CMAKE_CURRENT_BINARY_DIR}/${name}/${unit}.cpp)
    file(CONFIGURE OUTPUT ${unit} CONTENT "#include \"${header}\"\n" @ONLY)
    list(APPEND units ${unit})
  endforeach()
  if(units)
    add_library(${name} OBJECT ${units})
    target_link_libraries(${name} PRIVATE ${H_LIBS})
  endif()
endfunction()
