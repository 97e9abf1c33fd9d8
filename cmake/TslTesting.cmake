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
