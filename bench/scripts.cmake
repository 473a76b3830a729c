# Loads a 1000-row script and runs it on the simulated board with the virtual clock.
dcp_bench(bench_scripts ${CMAKE_CURRENT_SOURCE_DIR}/script_bench.cpp)
target_link_libraries(bench_scripts PRIVATE dcp_test_support)
