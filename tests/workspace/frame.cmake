# The main frame: command rules and the document as tables, the window's roads as QTest programs.
marlix_add_test(workspace_command_tests SOURCES CommandStateTest.cpp LIBS marlix_workspace)

add_library(marlix_frame_test_support STATIC FrameHarness.cpp)
set_target_properties(marlix_frame_test_support PROPERTIES AUTOMOC ON)
target_include_directories(marlix_frame_test_support PUBLIC ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(marlix_frame_test_support PUBLIC marlix_workspace marlix_core_qt marlix_test_support Qt6::Test)

marlix_add_qt_test(workspace_frame_execution_tests SOURCES FrameExecutionTest.cpp LIBS marlix_frame_test_support
                   LABELS "sqlite;postgresql;mariadb")
marlix_add_qt_test(workspace_frame_file_tests SOURCES FrameFilesTest.cpp LIBS marlix_frame_test_support
                   LABELS "sqlite;postgresql")
# The results menus' conversions in the window: Copy as and Convert to with the engine's texts
# and refusals.
marlix_add_qt_test(workspace_frame_conversion_tests SOURCES FrameConversionTest.cpp
                   LIBS marlix_frame_test_support LABELS "sqlite")
marlix_add_qt_test(workspace_window_tests SOURCES WindowTest.cpp LIBS marlix_frame_test_support LABELS "sqlite")
# Ignored attributes, block errors and refused scripts in the history before a run.
marlix_add_qt_test(workspace_frame_fault_tests SOURCES FrameScriptFaultTest.cpp LIBS marlix_frame_test_support
                   LABELS "sqlite")
# An open transaction: the commands, the status bar and the question before the connection ends.
marlix_add_qt_test(workspace_frame_transaction_tests SOURCES FrameTransactionTest.cpp LIBS marlix_frame_test_support
                   LABELS "mariadb")
# Connecting on the connection thread: Cancel, a login timeout, the working connection kept.
marlix_add_qt_test(workspace_frame_connect_tests SOURCES FrameConnectTest.cpp LIBS marlix_frame_test_support
                   LABELS "sqlite;postgresql")
