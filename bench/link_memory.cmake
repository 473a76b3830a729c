# Resident memory over a long run of exchanges on the in-process simulated board.
dcp_bench(bench_link_memory ${CMAKE_CURRENT_LIST_DIR}/link_memory.cpp)
target_link_libraries(bench_link_memory PRIVATE dcp_windows dcp_sim)
