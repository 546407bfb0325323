# The main frame and its commands, the script document, and the help window.
add_library(marlix_workspace STATIC
  CommandState.cpp
  ConnectionCommands.cpp
  DravelDoc.cpp
  ExecutionController.cpp
  FrameActions.cpp
  HelpTopics.cpp
  MainFrame.cpp
  ObjectBrowser.cpp
  RunCommands.cpp
  ScriptCommands.cpp
  SelectionBar.cpp
)
target_include_directories(marlix_workspace PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(marlix_workspace PUBLIC marlix_script_editor marlix_results marlix_catalog marlix_execution
                                              Qt6::Widgets)
# Help Topics shows the README's description of the window.
qt_add_resources(marlix_workspace help PREFIX /help BASE ${PROJECT_SOURCE_DIR} FILES ${PROJECT_SOURCE_DIR}/README.md)
