# Host time of one SPI device frame through the motherboard terminal, the console and the
# simulated board, with the fixed waits on a virtual clock.
dcp_bench(bench_spi_frame ${CMAKE_CURRENT_SOURCE_DIR}/spi_frame_bench.cpp)
target_link_libraries(bench_spi_frame PRIVATE dcp_test_support)
