# The Results text and its view.
marlix_add_qt_test(results_text_tests
  SOURCES TextTests.cpp ResultsTextTest.cpp ResultsTextViewTest.cpp
  LIBS marlix_results_text)
