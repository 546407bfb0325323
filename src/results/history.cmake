# marlix_results_history: the Execution history pane, its entries and the statement text dialog.
add_library(marlix_results_history STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ExecutionHistory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryPane.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QueryTextDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatementSummaryPopup.cpp
)
target_link_libraries(marlix_results_history PUBLIC marlix_core Qt6::Widgets)
