# The main frame and its commands, the script document, and the help window.
include(options.cmake) # marlix_options: the Options dialog, the help window, command icons, About box
include(connect.cmake) # marlix_connect: Connect to Database, Select Server
add_library(marlix_workspace STATIC
  CommandState.cpp
  ConnectionCommands.cpp
  DravelDoc.cpp
  ExecutionController.cpp
  FrameActions.cpp
  GridEditCommands.cpp
  HelpTopics.cpp
  MainFrame.cpp
  ObjectBrowser.cpp
  RunCommands.cpp
  ScriptCommands.cpp
  SelectionBar.cpp
)
target_include_directories(marlix_workspace PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(marlix_workspace PUBLIC marlix_script_editor marlix_options marlix_connect marlix_results marlix_catalog marlix_execution
                                              Qt6::Widgets)
# The object browser and the metadata wizard (their own file list).
include(browser.cmake)
