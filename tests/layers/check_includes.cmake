# cmake -DLAYERS=cmake/Layers.cmake -P check_includes.cmake FOLDER...
# Fails, naming each, when a source file in the folders includes a header
# under tools/ or tests/: product code never depends on a tool or a test.
include(${LAYERS})
include(${CMAKE_CURRENT_LIST_DIR}/script_arguments.cmake)
lighter_script_arguments(folders)
if(NOT folders)
  message(FATAL_ERROR "no folder to check")
endif()
lighter_includes_of_tools(offences ${folders})
if(offences)
  list(JOIN offences "\n  " text)
  message(FATAL_ERROR "Product code including tools/ or tests/:\n  ${text}")
endif()
list(LENGTH folders count)
message(STATUS "${count} product folders include nothing under tools/ or tests/")
