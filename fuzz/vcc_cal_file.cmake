# The VCC calibration file reader, and its writer's read-back, on arbitrary files.
dcp_fuzz_target(fuzz_vcc_cal_file
  ${CMAKE_CURRENT_LIST_DIR}/vcc_cal_file_fuzz.cpp
  ${PROJECT_SOURCE_DIR}/src/motherboard/vcc_cal_file.cpp)
target_link_libraries(fuzz_vcc_cal_file PRIVATE dcp_platform)
