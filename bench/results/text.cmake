# bench_results_text: a million INSERT statements shown in the Results pane.
add_executable(bench_results_text ${CMAKE_CURRENT_LIST_DIR}/TextBench.cpp)
target_link_libraries(bench_results_text PRIVATE marlix_results_text marlix_bench_support)
