# tsl_add_test(<name> SOURCES ... LIBS ...)
# One GoogleTest executable per area; every test runs headless.
function(tsl_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  include(GoogleTest)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy;TSL_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp")
endfunction()

# tsl_add_xvfb_test(NAME <name> COMMAND <command...> [ENVIRONMENT <VAR=value...>])
# A test that needs an X server: runs the command under a private Xvfb that is
# known to accept connections (tests/support/xvfb-run-ready.sh), with the SDL
# x11 driver, TSL_TEST_XVFB=1 and the leak-checker suppressions for the X11
# client library. Not registered where Xvfb is missing.
find_program(TSL_XVFB Xvfb)
function(tsl_add_xvfb_test)
  cmake_parse_arguments(T "" "NAME" "COMMAND;ENVIRONMENT" ${ARGN})
  if(NOT T_NAME OR NOT T_COMMAND)
    message(FATAL_ERROR "tsl_add_xvfb_test needs NAME and COMMAND")
  endif()
  if(NOT TSL_XVFB)
    return()
  endif()
  add_test(NAME ${T_NAME}
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/support/xvfb-run-ready.sh ${T_COMMAND})
  set(environment SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy TSL_TEST_XVFB=1
    LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan.supp
    TSL_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp ${T_ENVIRONMENT})
  # Each run has a display of its own, so these tests may run in parallel.
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 120)
endfunction()
