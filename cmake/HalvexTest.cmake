# halvex_add_test(<name> [NO_MAIN] SOURCES <files...> LIBS <targets...>
#                 [LABELS <labels...>] [ENVIRONMENT <VAR=value...>])
# Adds one GoogleTest executable and registers its tests with CTest. NO_MAIN
# is for tests that bring their own main (the window tests link
# halvex::ui_test_main, which sets up the window layer first).
find_package(GTest REQUIRED)
include(GoogleTest)

function(halvex_add_test name)
  cmake_parse_arguments(ARG "NO_MAIN" "" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest halvex::warnings)
  if(NOT ARG_NO_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  # Only the properties given: an empty value would drop out of the list and
  # shift the next name into its place.
  set(properties "")
  if(ARG_LABELS)
    list(APPEND properties LABELS "${ARG_LABELS}")
  endif()
  if(ARG_ENVIRONMENT)
    list(APPEND properties ENVIRONMENT "${ARG_ENVIRONMENT}")
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ${properties}
    DISCOVERY_TIMEOUT 30)
endfunction()
