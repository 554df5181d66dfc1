# Helpers for the project's own targets.

# A target whose binary ships: it is written into the dist folder.
function(skelda_ship target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${SKELDA_DIST_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${SKELDA_DIST_DIR}
    PREFIX "")
endfunction()

# A GoogleTest binary built from the given sources.
function(skelda_gtest target)
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE gtest gmock)
  target_compile_definitions(${target} PRIVATE SKELDA_TESTING=1)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endfunction()
