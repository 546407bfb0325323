# The Options dialog with its working copy, the "Execution Settings" of the profile, the help
# window with its pages, the icons of the commands and the About box.
add_library(marlix_options STATIC
  AboutBox.cpp
  CommandIcons.cpp
  DialectSettingsPage.cpp
  ExecutionSettings.cpp
  HelpWindow.cpp
  OptionsDialog.cpp
  OptionsModel.cpp
)
target_include_directories(marlix_options PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(marlix_options PUBLIC marlix_execution Qt6::Widgets)
target_compile_definitions(marlix_options PRIVATE MARLIX_VERSION="${PROJECT_VERSION}")
# The help pages and their pictures are compiled into the program (qrc:/marlix/help/...).
set(MARLIX_HELP_FILES
  help/index.html
  help/connecting.html
  help/window.html
  help/options.html
  help/window.png
  help/history.png
  help/options.png
  help/connect.png
)
qt_add_resources(marlix_options marlix_help PREFIX /marlix/help BASE help FILES ${MARLIX_HELP_FILES})
