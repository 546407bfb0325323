# Connect to Database and Select Server: the dialog's rules as a widget-free model, the dialogs,
# and the window's real prompts that open the connect dialog.
add_library(marlix_connect STATIC
  ConnectDialog.cpp
  ConnectDialogModel.cpp
  FramePrompts.cpp
  SelectServerDialog.cpp
)
target_include_directories(marlix_connect PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(marlix_connect PUBLIC marlix_options marlix_results marlix_execution Qt6::Widgets)
