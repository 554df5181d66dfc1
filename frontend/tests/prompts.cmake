# Tests of the prompts, the library bindings, the self-removal and the feedback dialog.
if(NOT TARGET skelda_frontend)
  return()
endif()

set(_fe1 ${CMAKE_CURRENT_SOURCE_DIR}/tests)

# The classes under test, built on their own so that these tests don't wait for every
# dialog of the program library.
set(_fe1_sources)
foreach(name PromptDlg ExecutePromptDlg LibraryBindings SelfRemoval ProblemSolvingFeedbackDlg)
  list(APPEND _fe1_sources ${CMAKE_CURRENT_SOURCE_DIR}/${name}.cpp)
endforeach()
add_library(frontend_prompts_under_test STATIC ${_fe1_sources})
target_include_directories(frontend_prompts_under_test PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${SKELDA_RESOURCES_INCLUDE_DIR}
                           ${CMAKE_SOURCE_DIR}/engine/include)
target_link_libraries(frontend_prompts_under_test PUBLIC skelda_skin skelda_ui skelda_util shell32 comctl32 gdiplus ole32)

# Library doubles: each variant leaves out one export or answers a step with 0. The tests copy
# them into program folders under the real file names.
function(_fe1_double target source)
  add_library(${target} SHARED ${_fe1}/doubles/${source})
  target_compile_definitions(${target} PRIVATE ${ARGN})
  set_target_properties(${target} PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/fe-doubles)
endfunction()
_fe1_double(fe_engine_double EngineDouble.cpp)
_fe1_double(fe_engine_double_unsupported EngineDouble.cpp DOUBLE_UNSUPPORTED)
_fe1_double(fe_engine_double_init_fails EngineDouble.cpp DOUBLE_INIT_FAILS)
_fe1_double(fe_engine_double_without_restart EngineDouble.cpp DOUBLE_WITHOUT_RESTART)
_fe1_double(fe_feedback_double FeedbackDouble.cpp)
_fe1_double(fe_feedback_double_without_openurl FeedbackDouble.cpp DOUBLE_WITHOUT_OPENURL)
_fe1_double(fe_hook_double MouseHookDouble.cpp)
_fe1_double(fe_hook_double_without_stop MouseHookDouble.cpp DOUBLE_WITHOUT_STOP)

# The stand-in program the process tests copy into program folders as TavlinSkelda.exe.
add_executable(frontend_prompts_probe ${_fe1}/PromptsProbe.cpp)
target_link_libraries(frontend_prompts_probe PRIVATE frontend_prompts_under_test skelda_resources)
target_link_options(frontend_prompts_probe PRIVATE -municode)
set_target_properties(frontend_prompts_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

skelda_gtest(frontend_prompt_tests
  ${CMAKE_SOURCE_DIR}/skin/tests/TestMain.cpp
  ${_fe1}/PromptTestKit.cpp
  ${_fe1}/ProbeRun.cpp
  ${_fe1}/PromptDialogsTest.cpp
  ${_fe1}/BindingSequenceTest.cpp
  ${_fe1}/SelfRemovalTest.cpp
  ${_fe1}/FeedbackDialogTest.cpp)
target_include_directories(frontend_prompt_tests PRIVATE ${_fe1} ${CMAKE_SOURCE_DIR}/util/testing)
# Resources go into the test program itself, as into the real one.
target_link_libraries(frontend_prompt_tests PRIVATE frontend_prompts_under_test skelda_window_testkit skelda_resources)
add_dependencies(frontend_prompt_tests frontend_prompts_probe
  fe_engine_double fe_engine_double_unsupported fe_engine_double_init_fails fe_engine_double_without_restart
  fe_feedback_double fe_feedback_double_without_openurl fe_hook_double fe_hook_double_without_stop)

skelda_wine_test(frontend_prompts frontend_prompt_tests PREFIX win64 ARGS --gtest_filter=Prompt*:Progress*)
skelda_wine_test(frontend_bindings frontend_prompt_tests PREFIX win64 ARGS --gtest_filter=BindingSequenceTest.*:LibraryRecordTest.*:FailStartTest.*:LibrarySearchTest.*)
skelda_wine_test(frontend_self_removal frontend_prompt_tests PREFIX win64 ARGS --gtest_filter=SelfRemoval*)
skelda_wine_test(frontend_feedback frontend_prompt_tests PREFIX win64 ARGS --gtest_filter=Feedback*)
