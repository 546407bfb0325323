# The editable grid model: validation, the empty row, Delete Row, read-only cells.
marlix_add_qt_test(results_edit_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/EditableGridTest.cpp
  LIBS marlix_results_grid)
