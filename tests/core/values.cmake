# Fetching real result sets for the value and generator tests.
add_library(marlix_values_test_support STATIC FetchedResult.cpp)
target_include_directories(marlix_values_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(marlix_values_test_support PUBLIC marlix_values marlix_test_support)

marlix_add_test(core_values_tests
  SOURCES DateTimeTextTest.cpp ValueTextTest.cpp ExactLiteralTest.cpp ExactLiteralServerTest.cpp
  LIBS marlix_values_test_support marlix_values)
