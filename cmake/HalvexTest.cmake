# halvex_add_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
# Adds one GoogleTest executable and registers its tests with CTest.
find_package(GTest REQUIRED)
include(GoogleTest)

function(halvex_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES LABELS "${ARG_LABELS}" ENVIRONMENT "${ARG_ENVIRONMENT}"
    DISCOVERY_TIMEOUT 30)
endfunction()
