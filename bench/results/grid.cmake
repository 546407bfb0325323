add_executable(bench_grid ${CMAKE_CURRENT_LIST_DIR}/GridBench.cpp)
target_link_libraries(bench_grid PRIVATE marlix_results_grid marlix_bench_support Qt6::Widgets)
