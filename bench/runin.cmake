# Run-in test: host time per move and resident memory over a long run on the simulated board.
dcp_bench(bench_runin ${CMAKE_CURRENT_LIST_DIR}/runin_bench.cpp)
target_link_libraries(bench_runin PRIVATE dcp_windows dcp_sim)
