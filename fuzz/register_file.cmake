# The register data file reader ("registers.txt") on arbitrary files.
dcp_fuzz_target(fuzz_register_file
  ${CMAKE_CURRENT_LIST_DIR}/register_file_fuzz.cpp
  ${PROJECT_SOURCE_DIR}/src/bridge/register_file.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/text.cpp
  ${PROJECT_SOURCE_DIR}/src/controls/keyfilter.cpp)
target_link_libraries(fuzz_register_file PRIVATE dcp_platform)
