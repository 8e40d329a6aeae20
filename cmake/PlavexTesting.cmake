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
  # Only one variable goes through the discovered tests' properties: this
  # CMake drops every list item after the first there. The sanitizers'
  # options come from the environment that `make test` and `make asan-test`
  # give ctest, which the tests' own child processes inherit too.
  # Each row is named by its table's name generator alone: without
  # NO_PRETTY_VALUES the name would end in the row's value, printed as the
  # bytes of its object, which hold addresses that change with every build,
  # so that `ctest -R`, `--rerun-failed` and the timing history lose the test.
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    NO_PRETTY_VALUES
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
