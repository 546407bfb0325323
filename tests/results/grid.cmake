# The result set grids: the model over fetched results on each database, copying cells, the
# layout rules, and the Grids pane's adding, truncating, clearing and showing of grids.
marlix_add_qt_test(results_grid_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/GridTest.cpp
  LIBS marlix_results_grid)
