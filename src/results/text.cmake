# marlix_results_text: the Results text of every batch, kept where the batches wrote it, and the
# read-only view that draws it.
add_library(marlix_results_text STATIC
  BreakIndex.cpp
  BreakIndex.h
  ClipboardText.cpp
  ClipboardText.h
  ResultsText.cpp
  ResultsText.h
  ResultsTextView.cpp
  ResultsTextView.h
  TextColumns.cpp
  TextColumns.h
)
target_include_directories(marlix_results_text PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(marlix_results_text PUBLIC marlix_core Qt6::Widgets)
