# Grid editing in the window: the commands, the script dialog and saving.
marlix_add_qt_test(workspace_grid_edit_tests SOURCES FrameGridEditsTest.cpp LIBS marlix_frame_test_support
                   LABELS "sqlite")
