dcp_bench(bench_wiper_write ${CMAKE_CURRENT_LIST_DIR}/wiper_write.cpp)
target_link_libraries(bench_wiper_write PRIVATE dcp_windows dcp_sim)
