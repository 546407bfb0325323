# The Execution history: summaries, entries and their spans, truncate and clear, the pane's
# appending, hover popup and entry menu, the statement text dialog.
marlix_add_qt_test(results_history_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/HistoryTest.cpp
  LIBS marlix_results_history)
