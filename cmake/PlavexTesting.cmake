# plavex_add_test(NAME source... LIBS lib...)
# Builds one GoogleTest executable and registers its cases with CTest. Every
# test runs with Qt's offscreen platform, so widget tests need no display.
find_package(GTest REQUIRED)
include(GoogleTest)

function(plavex_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE PLAVEX_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
  # Every test runs through env with the platform and the sanitizers' options.
  # (A list given to ENVIRONMENT through test discovery keeps only its first
  # variable, which left the sanitizers without their options and suppressions.)
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
    "env;QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
endfunction()
