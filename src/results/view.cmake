# The results view that holds the three tabs, the engine's history bridge and the user prompts.
add_library(marlix_results STATIC
  HistoryBridge.cpp
  SQLResultsView.cpp
  UserPrompts.cpp
)
target_include_directories(marlix_results PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(marlix_results PUBLIC marlix_results_text marlix_results_grid marlix_results_history
                                            marlix_execution Qt6::Widgets)
