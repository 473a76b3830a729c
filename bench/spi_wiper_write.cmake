# Host time of one wiper write in the SPI device window on a simulated ZN3930, with and
# without Auto Read, and the share of its fixed waits.
dcp_bench(bench_spi_wiper_write ${CMAKE_CURRENT_LIST_DIR}/spi_wiper_write.cpp)
target_link_libraries(bench_spi_wiper_write PRIVATE dcp_windows dcp_sim)
