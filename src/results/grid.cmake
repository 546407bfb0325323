# The result set grids of the Grids tab: a table model that reads the cells where they are
# stored, the grid view tuned for millions of rows, and the pane that stacks one grid per
# stored result set.
add_library(marlix_results_grid STATIC
  CellTextCopy.cpp
  EditableResultSetModel.cpp
  EditingDelegate.cpp
  ModificationScriptDialog.cpp
  GridPresentation.cpp
  GridsPane.cpp
  ResultGrid.cpp
  ResultSetModel.cpp
)
target_include_directories(marlix_results_grid PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(marlix_results_grid PUBLIC marlix_transform marlix_values marlix_core Qt6::Widgets)
