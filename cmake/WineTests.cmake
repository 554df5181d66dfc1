# Every test binary runs under Wine in a throwaway prefix that the test run makes first.
#   win64: a 64-bit prefix with syswow64 (a 32-bit process sees IsWow64Process true)
#   win32: a 32-bit prefix (IsWow64Process false)
# The prefixes live in the build tree and are made anew by each test run (fixtures below).

set(SKELDA_WINE_ROOT ${CMAKE_BINARY_DIR}/wine)
set(SKELDA_SCRIPTS ${CMAKE_SOURCE_DIR}/scripts)

foreach(kind win32 win64)
  add_test(NAME wine_prefix_${kind}
           COMMAND ${SKELDA_SCRIPTS}/make-prefix.sh ${SKELDA_WINE_ROOT}/${kind} ${kind} ${CMAKE_BINARY_DIR})
  set_tests_properties(wine_prefix_${kind} PROPERTIES FIXTURES_SETUP prefix_${kind} TIMEOUT 300)
endforeach()

# skelda_wine_test(<test name> <target> PREFIX win32|win64 [ARGS ...] [ENV VAR=value ...] [TIMEOUT s])
function(skelda_wine_test name target)
  cmake_parse_arguments(T "" "PREFIX;TIMEOUT" "ARGS;ENV" ${ARGN})
  if(NOT T_PREFIX)
    set(T_PREFIX win64)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  add_test(NAME ${name} COMMAND ${target} ${T_ARGS})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED prefix_${T_PREFIX}
    ENVIRONMENT "SKELDA_PREFIX=${SKELDA_WINE_ROOT}/${T_PREFIX};SKELDA_PREFIX_KIND=${T_PREFIX};SKELDA_BUILD=${CMAKE_BINARY_DIR};SKELDA_DIST=${SKELDA_DIST_DIR};${T_ENV}"
    TIMEOUT ${T_TIMEOUT})
endfunction()

# A host-side test (a shell script) that inspects built binaries or drives Wine itself.
function(skelda_host_test name script)
  cmake_parse_arguments(T "" "PREFIX;TIMEOUT" "ARGS" ${ARGN})
  add_test(NAME ${name} COMMAND bash ${script} ${T_ARGS})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT
    "SKELDA_BUILD=${CMAKE_BINARY_DIR};SKELDA_DIST=${SKELDA_DIST_DIR};SKELDA_SOURCE=${CMAKE_SOURCE_DIR};SKELDA_WINE_ROOT=${SKELDA_WINE_ROOT}")
  if(T_PREFIX)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED prefix_${T_PREFIX})
  endif()
  if(T_TIMEOUT)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  endif()
endfunction()
