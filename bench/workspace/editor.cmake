# bench_editor: one keystroke in 1, 10 and 100 MB scripts shown in the script view (the edit
# followed in the analysed script, recolouring, painted offscreen), against tokenizing alone.
add_executable(bench_editor ${CMAKE_CURRENT_LIST_DIR}/EditorBench.cpp)
target_link_libraries(bench_editor PRIVATE marlix_script_editor)
