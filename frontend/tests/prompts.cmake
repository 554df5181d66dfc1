# Tests of the prompts, the library bindings, the self-removal and the feedback dialog.
if(NOT TARGET skelda_frontend)
  return()
endif()

set(_fe1 ${CMAKE_CURRENT_SOURCE_DIR}/tests)

# The classes under test, built on their own so that these tests don't wait for every
# dialog of the program library.
set(_fe1_sources)
foreach(name PromptDlg ExecutePromptDlg LibraryBindings SelfRemoval ProblemSolvingFeedbackDlg)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${name}.cpp)
    list(APPEND _fe1_sources ${CMAKE_CURRENT_SOURCE_DIR}/${name}.cpp)
  endif()
endforeach()
add_library(frontend_prompts_under_test STATIC ${_fe1_sources})
target_include_directories(frontend_prompts_under_test PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${SKELDA_RESOURCES_INCLUDE_DIR})
target_link_libraries(frontend_prompts_under_test PUBLIC skelda_skin skelda_ui skelda_util shell32 comctl32 gdiplus ole32)
skelda_gtest(frontend_prompt_tests
  ${CMAKE_SOURCE_DIR}/skin/tests/TestMain.cpp
  ${_fe1}/PromptTestKit.cpp
  ${_fe1}/PromptDialogsTest.cpp)
target_include_directories(frontend_prompt_tests PRIVATE ${_fe1} ${CMAKE_SOURCE_DIR}/util/testing)
# Resources go into the test program itself, as into the real one.
target_link_libraries(frontend_prompt_tests PRIVATE frontend_prompts_under_test skelda_window_testkit skelda_resources)
skelda_wine_test(frontend_prompts frontend_prompt_tests PREFIX win64
  ARGS --gtest_filter=Prompt*:Progress*)
