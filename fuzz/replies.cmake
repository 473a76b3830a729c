# The board's replies through every decoder the windows read them with.
dcp_fuzz_target(fuzz_replies
  ${CMAKE_CURRENT_LIST_DIR}/replies_fuzz.cpp
  ${PROJECT_SOURCE_DIR}/src/bridge/protocol.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/text.cpp
  ${PROJECT_SOURCE_DIR}/src/controls/keyfilter.cpp)
target_link_libraries(fuzz_replies PRIVATE dcp_platform)
