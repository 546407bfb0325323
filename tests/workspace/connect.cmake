# Connect to Database and Select Server: the dialog's rules as tables, the dialogs drawn
# offscreen, and real connections made with what the dialog builds.
marlix_add_test(workspace_connect_rules_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/ConnectDialogModelTest.cpp
                LIBS marlix_connect)
marlix_add_qt_test(workspace_connect_dialog_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/ConnectDialogTest.cpp
                   LIBS marlix_frame_test_support marlix_connect LABELS "sqlite;postgresql;mariadb")
