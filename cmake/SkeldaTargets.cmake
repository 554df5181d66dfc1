# Helpers for the project's own targets.

# A target whose binary ships: it is written into the dist folder and is part of skelda_shipped.
function(skelda_ship target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${SKELDA_DIST_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${SKELDA_DIST_DIR}
    PREFIX "")
  add_dependencies(skelda_shipped ${target})
endfunction()

# The headers that nearly every source file includes, parsed once per target instead of once
# per file (<windows.h> alone costs a MinGW compile about 2.5 s). Only for targets of several
# files: the precompiled header costs as much as one file. Each file still includes what it uses.
function(skelda_common_headers target)
  target_precompile_headers(${target} PRIVATE <windows.h> ${ARGN})
endfunction()

# Test code is compiled without optimisation: it is most of the build's sources and gtest's
# macros cost the optimiser several times what they cost the parser. What the tests exercise,
# the project's libraries, keeps the release flags that ship.
function(skelda_test_code target)
  target_compile_options(${target} PRIVATE -O0)
endfunction()

# What every test source is compiled with. The window code declares the common controls without
# DECLSPEC_IMPORT (see the delay import of comctl32); every test binary does the same, so that
# one precompiled header serves them all (GCC refuses one made with other macros).
function(_skelda_test_definitions target)
  target_compile_definitions(${target} PRIVATE SKELDA_TESTING=1 WINCOMMCTRLAPI=)
endfunction()

# The headers of the test code, precompiled once for every test binary of the build tree
# instead of once per binary. Made once GoogleTest's targets exist.
function(skelda_test_headers)
  add_library(skelda_test_headers STATIC ${CMAKE_SOURCE_DIR}/cmake/TestHeaders.cpp)
  skelda_test_code(skelda_test_headers)
  _skelda_test_definitions(skelda_test_headers)
  target_link_libraries(skelda_test_headers PRIVATE gtest gmock)
  skelda_common_headers(skelda_test_headers <gtest/gtest.h>)
endfunction()

# A GoogleTest binary built from the given sources.
function(skelda_gtest target)
  add_executable(${target} ${ARGN})
  skelda_test_code(${target})
  target_precompile_headers(${target} REUSE_FROM skelda_test_headers)
  target_link_libraries(${target} PRIVATE gtest gmock)
  _skelda_test_definitions(${target})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endfunction()
