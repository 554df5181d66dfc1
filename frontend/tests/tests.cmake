# Tests of the front end against doubles of the three libraries the program loads, which
# record their calls. The test programs, the stand-in program and the doubles share a folder,
# from which the dialogs load the libraries as the program does from its own.
if(NOT TARGET skelda_frontend)
  return()
endif()

set(_fe ${CMAKE_CURRENT_SOURCE_DIR}/tests)
set(_fe_out ${CMAKE_BINARY_DIR}/tests/frontend)

# A double built as <name>.dll; the variants that each leave out one export get a name of
# their own, and the tests copy them into program folders under the real file name.
set(_fe_doubles)
function(_fe_double name source)
  add_library(fe_double_${name} SHARED ${_fe}/doubles/${source})
  target_compile_definitions(fe_double_${name} PRIVATE ${ARGN})
  target_include_directories(fe_double_${name} PRIVATE ${CMAKE_SOURCE_DIR}/engine)
  set_target_properties(fe_double_${name} PROPERTIES OUTPUT_NAME ${name} PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${_fe_out})
  set(_fe_doubles ${_fe_doubles} fe_double_${name} PARENT_SCOPE)
endfunction()
_fe_double(OrvaneSkelda EngineDouble.cpp)
_fe_double(OrvaneSkelda-without-restart EngineDouble.cpp DOUBLE_WITHOUT_RESTART)
_fe_double(OrvaneFeedbackInformation FeedbackDouble.cpp)
_fe_double(OrvaneFeedbackInformation-without-openurl FeedbackDouble.cpp DOUBLE_WITHOUT_OPENURL)
_fe_double(OrvaneMouseHook MouseHookDouble.cpp)
_fe_double(OrvaneMouseHook-without-stop MouseHookDouble.cpp DOUBLE_WITHOUT_STOP)
_fe_double(SystemNameDecoy DecoyLibrary.cpp)

# The program as it ships, but checking the doubles' digests where it checks the libraries' (its
# clean room takes the doubles in): the program tests run it from scratch folders.
skelda_shipped_files(fe_double_shipped_files ${_fe_out}/shipped
  OrvaneSkelda=fe_double_OrvaneSkelda OrvaneMouseHook=fe_double_OrvaneMouseHook
  OrvaneFeedbackInformation=fe_double_OrvaneFeedbackInformation)
if(EXISTS ${CMAKE_SOURCE_DIR}/frontend/TavlinSkeldaMain.cpp)
  add_executable(frontend_program_with_doubles WIN32 ${CMAKE_SOURCE_DIR}/frontend/TavlinSkeldaMain.cpp)
  target_link_libraries(frontend_program_with_doubles PRIVATE skelda_frontend fe_double_shipped_files skelda_resources)
  target_link_options(frontend_program_with_doubles PRIVATE -municode)
  set_target_properties(frontend_program_with_doubles PROPERTIES OUTPUT_NAME TavlinSkeldaWithDoubles
                        RUNTIME_OUTPUT_DIRECTORY ${_fe_out})
  list(APPEND _fe_doubles frontend_program_with_doubles)
endif()

# The stand-in program the process tests copy into program folders as TavlinSkelda.exe.
add_executable(frontend_prompts_probe ${_fe}/PromptsProbe.cpp)
target_link_libraries(frontend_prompts_probe PRIVATE skelda_frontend skelda_resources)
target_link_options(frontend_prompts_probe PRIVATE -municode)
set_target_properties(frontend_prompts_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${_fe_out})

# What both test programs share: the entry and the kit. Resources go into each test program
# itself, as into the real one.
add_library(frontend_testkit STATIC ${_fe}/TestMain.cpp ${_fe}/TestKit.cpp)
skelda_test_code(frontend_testkit)
target_include_directories(frontend_testkit PUBLIC ${_fe} ${CMAKE_SOURCE_DIR}/outside/testing)
target_link_libraries(frontend_testkit PUBLIC skelda_frontend gtest)
function(_fe_tests target)
  skelda_gtest(${target} ${ARGN})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${_fe_out})
  target_link_libraries(${target} PRIVATE frontend_testkit skelda_resources)
  add_dependencies(${target} frontend_prompts_probe ${_fe_doubles})
endfunction()

# The main window, the usage terms and the program as a whole.
_fe_tests(frontend_main_tests
  ${_fe}/MainWindowTest.cpp
  ${_fe}/UsageTermsTest.cpp
  ${_fe}/ProgramRunTest.cpp)
if(TARGET TavlinSkelda)
  add_dependencies(frontend_main_tests TavlinSkelda)
endif()
skelda_wine_test(frontend_main frontend_main_tests PREFIX win64 TIMEOUT 900 COST 200 ARGS --gtest_filter=-UsageTerms*)
# The usage-terms tests move the cursor and the dialog reads it back: they run alone.
skelda_wine_test(frontend_usage_terms frontend_main_tests PREFIX win64 TIMEOUT 900 ARGS --gtest_filter=UsageTerms*)
if(TEST ${SKELDA_ARCH}.frontend_usage_terms)
  set_tests_properties(${SKELDA_ARCH}.frontend_usage_terms PROPERTIES RUN_SERIAL TRUE)
endif()

# The shipped program from a copy of dist/ in a prefix of its own, with the real engine,
# driven with xdotool at the places GuiDriver reports.
add_executable(gui_driver ${CMAKE_SOURCE_DIR}/tests/gui/GuiDriver.cpp)
target_link_options(gui_driver PRIVATE -municode)
set_target_properties(gui_driver PROPERTIES OUTPUT_NAME GuiDriver RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/gui)
if(TARGET TavlinSkelda)
  add_dependencies(gui_driver TavlinSkelda)
endif()
skelda_host_test(frontend_gui_e2e ${CMAKE_SOURCE_DIR}/tests/gui/gui-e2e.sh PREFIX desktop OWN_DISPLAY TIMEOUT 1200 COST 80)

# The prompts, the library bindings, the self-removal and the feedback dialog.
_fe_tests(frontend_prompt_tests
  ${_fe}/PromptDialogsTest.cpp
  ${_fe}/BindingSequenceTest.cpp
  ${_fe}/SelfRemovalTest.cpp
  ${_fe}/FeedbackDialogTest.cpp)
skelda_wine_test(frontend_prompts frontend_prompt_tests PREFIX win64 COST 80 ARGS --gtest_filter=Prompt*:Progress*)
skelda_wine_test(frontend_bindings frontend_prompt_tests PREFIX win64 ARGS --gtest_filter=BindingSequenceTest.*:LibraryRecordTest.*:FailStartTest.*:LibrarySearchTest.*)
skelda_wine_test(frontend_self_removal frontend_prompt_tests PREFIX win64 ARGS --gtest_filter=SelfRemoval*)
skelda_wine_test(frontend_feedback frontend_prompt_tests PREFIX win64 ARGS --gtest_filter=Feedback*)
