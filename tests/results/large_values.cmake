# Values larger than a storage page through storage, the grid's model and the conversions.
marlix_add_test(results_large_value_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LargeValueTest.cpp
  LIBS marlix_results_grid marlix_transform LABELS "sqlite;postgresql;mariadb")
