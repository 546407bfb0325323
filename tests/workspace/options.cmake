# The Options dialog's rules as tables; the dialog, the help window, the menus' icons and the
# About box as QTest programs.
marlix_add_test(workspace_options_model_tests SOURCES OptionsModelTest.cpp LIBS marlix_options)
marlix_add_qt_test(workspace_options_dialog_tests SOURCES OptionsDialogTest.cpp LIBS marlix_options)
marlix_add_qt_test(workspace_help_menu_tests SOURCES HelpAndMenusTest.cpp LIBS marlix_frame_test_support
                   LABELS "sqlite;postgresql")
target_compile_definitions(workspace_help_menu_tests PRIVATE MARLIX_VERSION="${PROJECT_VERSION}")
