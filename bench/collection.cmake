# What collecting the answers owed to sets costs a query, on the real clock, in process and
# over dcpeval-sim's socket, on a prompt and on a 3 ms board.
dcp_bench(bench_collection ${CMAKE_CURRENT_LIST_DIR}/collection.cpp)
target_link_libraries(bench_collection PRIVATE dcp_windows dcp_sim)
target_compile_definitions(bench_collection PRIVATE DCPEVAL_SIM_BINARY="$<TARGET_FILE:dcpeval-sim>")
add_dependencies(bench_collection dcpeval-sim)
