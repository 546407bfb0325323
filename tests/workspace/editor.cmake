# The script view and its editor: the widget-free rules (position map, tracked ranges, find,
# colour runs) as tables, and the view itself drawn offscreen.
marlix_add_qt_test(workspace_editor_rules_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/EditorRulesTest.cpp
  LIBS marlix_script_editor)
marlix_add_qt_test(workspace_editor_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ScriptViewTest.cpp
  LIBS marlix_script_editor)
