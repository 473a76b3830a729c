# The script loader and the results merge on arbitrary files.
dcp_fuzz_target(fuzz_scripts
  ${CMAKE_CURRENT_SOURCE_DIR}/script_fuzz.cpp
  ${PROJECT_SOURCE_DIR}/src/scripts/script_file.cpp
  ${PROJECT_SOURCE_DIR}/src/scripts/script_results.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/text.cpp
  ${PROJECT_SOURCE_DIR}/src/controls/keyfilter.cpp)
target_link_libraries(fuzz_scripts PRIVATE dcp_platform)
