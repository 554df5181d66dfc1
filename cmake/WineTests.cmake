# Every test binary runs under Wine in a throwaway prefix that the test run makes first.
#   win64: a 64-bit prefix (a 32-bit process runs under WOW64 there and sees IsWow64Process true)
#   win32: a 32-bit prefix (IsWow64Process false); only the x86 build runs there
# The prefixes live in the build tree and are made anew by each test run (fixtures below).
#
# Test names start with the build's architecture ("x86." or "x64."), so that one CTest run over
# both build trees (build/CTestTestfile.cmake, written by scripts/build.sh) keeps them apart.
#
# The x86 build's Wine tests need a machine that executes 32-bit programs. A probe, run once per
# test run as a fixture, tells; where it says no, those tests exit with code 77 and CTest reports
# them as skipped, with the reason in their output.

set(SKELDA_WINE_ROOT ${CMAKE_BINARY_DIR}/wine)
set(SKELDA_SCRIPTS ${CMAKE_SOURCE_DIR}/scripts)
set(SKELDA_SKIP_CODE 77)

# Prefixes as <name>:<kind>. "desktop" is a 64-bit prefix for the tests that move the cursor or
# inject input: they run one at a time (a resource lock), each on an X display of its own, so
# that they share neither Wine's desktop nor the X pointer with any other test.
if(SKELDA_ARCH STREQUAL x86)
  set(SKELDA_PREFIXES win32:win32 win64:win64 desktop:win64)
  set(SKELDA_WIN32_PROBE ${CMAKE_BINARY_DIR}/win32-probe.txt)
  add_test(NAME x86.wine32_probe COMMAND ${SKELDA_SCRIPTS}/win32-gate.sh --probe ${SKELDA_WIN32_PROBE})
  set_tests_properties(x86.wine32_probe PROPERTIES FIXTURES_SETUP x86_wine32_probe TIMEOUT 60)
  set(SKELDA_GATE_ENV "SKELDA_WIN32_PROBE=${SKELDA_WIN32_PROBE}")
else()
  set(SKELDA_PREFIXES win64:win64 desktop:win64)
  set(SKELDA_GATE_ENV "")
endif()

# The kind of a prefix this build's programs run in; empty for a prefix they cannot run in.
function(skelda_prefix_kind prefix out)
  set(kind "")
  foreach(entry ${SKELDA_PREFIXES})
    string(REPLACE ":" ";" pair ${entry})
    list(GET pair 0 name)
    if(name STREQUAL prefix)
      list(GET pair 1 kind)
    endif()
  endforeach()
  set(${out} "${kind}" PARENT_SCOPE)
endfunction()

function(skelda_gated_test name)
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE ${SKELDA_SKIP_CODE})
  if(SKELDA_ARCH STREQUAL x86)
    set_property(TEST ${name} APPEND PROPERTY FIXTURES_REQUIRED x86_wine32_probe)
  endif()
endfunction()

foreach(entry ${SKELDA_PREFIXES})
  string(REPLACE ":" ";" pair ${entry})
  list(GET pair 0 prefix)
  list(GET pair 1 kind)
  set(name ${SKELDA_ARCH}.wine_prefix_${prefix})
  add_test(NAME ${name}
           COMMAND ${SKELDA_SCRIPTS}/make-prefix.sh ${SKELDA_WINE_ROOT}/${prefix} ${kind} ${CMAKE_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES FIXTURES_SETUP ${SKELDA_ARCH}_prefix_${prefix} TIMEOUT 300
                       ENVIRONMENT "${SKELDA_GATE_ENV}")
  skelda_gated_test(${name})
endforeach()

# COST (both functions) is the test's rough length in seconds: CTest starts the long ones first,
# which it otherwise learns only from an earlier run in the same build tree.
# skelda_wine_test(<test name> <target> PREFIX win32|win64|desktop [ARGS ...] [ENV VAR=value ...] [TIMEOUT s] [COST s])
function(skelda_wine_test name target)
  cmake_parse_arguments(T "" "PREFIX;TIMEOUT;COST" "ARGS;ENV" ${ARGN})
  if(NOT T_PREFIX)
    set(T_PREFIX win64)
  endif()
  skelda_prefix_kind(${T_PREFIX} kind)
  if(NOT kind)
    return()
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set(full ${SKELDA_ARCH}.${name})
  if(T_PREFIX STREQUAL desktop)
    add_test(NAME ${full} COMMAND ${SKELDA_SCRIPTS}/own-display.sh ${SKELDA_SCRIPTS}/wine-exec.sh
                                  $<TARGET_FILE:${target}> ${T_ARGS})
    set_tests_properties(${full} PROPERTIES RESOURCE_LOCK ${SKELDA_ARCH}_desktop)
  else()
    add_test(NAME ${full} COMMAND ${target} ${T_ARGS})
  endif()
  set_tests_properties(${full} PROPERTIES
    FIXTURES_REQUIRED ${SKELDA_ARCH}_prefix_${T_PREFIX}
    ENVIRONMENT "SKELDA_PREFIX=${SKELDA_WINE_ROOT}/${T_PREFIX};SKELDA_PREFIX_KIND=${kind};SKELDA_BUILD=${CMAKE_BINARY_DIR};SKELDA_DIST=${SKELDA_DIST_DIR};${SKELDA_GATE_ENV};${T_ENV}"
    TIMEOUT ${T_TIMEOUT})
  if(T_COST)
    set_tests_properties(${full} PROPERTIES COST ${T_COST})
  endif()
  skelda_gated_test(${full})
endfunction()

# A host-side test (a shell script) that inspects built binaries or drives Wine itself.
# WINE marks a script that runs this build's programs under Wine in prefixes of its own;
# OWN_DISPLAY gives it an X display of its own and the desktop lock (it moves the pointer).
# skelda_host_test(<test name> <script> [PREFIX win32|win64] [WINE] [OWN_DISPLAY] [ARGS ...] [TIMEOUT s])
function(skelda_host_test name script)
  cmake_parse_arguments(T "WINE;OWN_DISPLAY" "PREFIX;TIMEOUT;COST" "ARGS" ${ARGN})
  if(T_PREFIX)
    skelda_prefix_kind(${T_PREFIX} kind)
    if(NOT kind)
      return()
    endif()
  endif()
  set(full ${SKELDA_ARCH}.${name})
  if(T_OWN_DISPLAY)
    add_test(NAME ${full} COMMAND ${SKELDA_SCRIPTS}/win32-gate.sh ${SKELDA_SCRIPTS}/own-display.sh bash ${script} ${T_ARGS})
    set_tests_properties(${full} PROPERTIES RESOURCE_LOCK ${SKELDA_ARCH}_desktop)
    skelda_gated_test(${full})
  elseif(T_PREFIX OR T_WINE)
    add_test(NAME ${full} COMMAND ${SKELDA_SCRIPTS}/win32-gate.sh bash ${script} ${T_ARGS})
    skelda_gated_test(${full})
  else()
    add_test(NAME ${full} COMMAND bash ${script} ${T_ARGS})
  endif()
  set_tests_properties(${full} PROPERTIES ENVIRONMENT
    "SKELDA_BUILD=${CMAKE_BINARY_DIR};SKELDA_DIST=${SKELDA_DIST_DIR};SKELDA_SOURCE=${CMAKE_SOURCE_DIR};SKELDA_WINE_ROOT=${SKELDA_WINE_ROOT};SKELDA_ARCH=${SKELDA_ARCH};${SKELDA_GATE_ENV}")
  if(T_PREFIX)
    set_property(TEST ${full} APPEND PROPERTY FIXTURES_REQUIRED ${SKELDA_ARCH}_prefix_${T_PREFIX})
  endif()
  if(T_TIMEOUT)
    set_tests_properties(${full} PROPERTIES TIMEOUT ${T_TIMEOUT})
  endif()
  if(T_COST)
    set_tests_properties(${full} PROPERTIES COST ${T_COST})
  endif()
endfunction()
