# bench_editor: one keystroke in a 1 MB script shown in the script view (re-analysis and
# recolouring, painted offscreen), against tokenizing alone.
add_executable(bench_editor ${CMAKE_CURRENT_LIST_DIR}/EditorBench.cpp)
target_link_libraries(bench_editor PRIVATE marlix_script_editor)
