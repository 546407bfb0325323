# The object browser: its command rules as a table, and the tree in the real window on each server.
marlix_add_test(workspace_browser_command_tests SOURCES BrowserCommandStateTest.cpp LIBS marlix_workspace)
marlix_add_qt_test(workspace_object_browser_tests SOURCES ObjectBrowserTest.cpp LIBS marlix_frame_test_support
                   LABELS "sqlite;postgresql;mariadb")
