marlix_add_test(transform_edit_tests
  SOURCES EditTrackingTest.cpp SaveEditsTest.cpp BinaryValuesTest.cpp
  LIBS marlix_transform marlix_grammar)
