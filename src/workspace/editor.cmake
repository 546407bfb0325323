# The script view and its editor: the analysis kept beside the editor's text, the map between
# document positions and the engine's bytes, colouring from the engine's tokens, find, and the
# places that follow the user's edits for write-backs.
add_library(marlix_script_editor STATIC
  DravelView.cpp
  FindDialog.cpp
  FindState.cpp
  PositionMap.cpp
  ScriptColours.cpp
  ScriptEditor.cpp
  ScriptHighlighter.cpp
  TrackedRanges.cpp
)
target_include_directories(marlix_script_editor PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(marlix_script_editor PUBLIC marlix_execution Qt6::Widgets)
