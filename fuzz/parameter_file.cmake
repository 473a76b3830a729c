# The device parameter file reader: any bytes, both families.
dcp_fuzz_target(fuzz_parameter_file
  ${CMAKE_CURRENT_LIST_DIR}/parameter_file_fuzz.cpp
  ${PROJECT_SOURCE_DIR}/src/devices/parameter_file.cpp)
target_link_libraries(fuzz_parameter_file PRIVATE dcp_platform)
