# Tests of the main window, the usage terms and the program as a whole, against doubles of
# the three libraries that record their calls. The test program and the doubles share a
# folder, from which the dialogs load the libraries as the program does from its own.
if(NOT TARGET skelda_frontend)
  return()
endif()

set(_fe2 ${CMAKE_CURRENT_SOURCE_DIR}/tests)
set(_fe2_out ${CMAKE_BINARY_DIR}/tests/frontend-main)

foreach(pair "Engine;OrvaneSkelda" "Hook;OrvaneMouseHook" "Feedback;OrvaneFeedbackInformation")
  list(GET pair 0 kind)
  list(GET pair 1 library)
  add_library(frontend_main_double_${kind} SHARED ${_fe2}/Main${kind}Double.cpp)
  set_target_properties(frontend_main_double_${kind} PROPERTIES
    OUTPUT_NAME ${library} PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${_fe2_out})
endforeach()

skelda_gtest(frontend_main_tests
  ${_fe2}/MainTestMain.cpp
  ${_fe2}/MainTestKit.cpp
  ${_fe2}/MainWindowTest.cpp
  ${_fe2}/UsageTermsTest.cpp
  ${_fe2}/ProgramRunTest.cpp)
set_target_properties(frontend_main_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${_fe2_out})
target_include_directories(frontend_main_tests PRIVATE ${_fe2} ${CMAKE_SOURCE_DIR}/outside/testing ${CMAKE_SOURCE_DIR}/util/testing)
target_link_libraries(frontend_main_tests PRIVATE skelda_frontend skelda_resources)
add_dependencies(frontend_main_tests frontend_main_double_Engine frontend_main_double_Hook
                 frontend_main_double_Feedback)
if(TARGET TavlinSkelda)
  add_dependencies(frontend_main_tests TavlinSkelda)
endif()
skelda_wine_test(frontend_main frontend_main_tests PREFIX win64 TIMEOUT 900 ARGS --gtest_filter=-UsageTerms*)
# The usage-terms tests move the cursor.
skelda_wine_test(frontend_usage_terms frontend_main_tests PREFIX desktop TIMEOUT 900 ARGS --gtest_filter=UsageTerms*)

# The shipped program from a copy of dist/ in a prefix of its own, with the real engine,
# driven with xdotool at the places GuiDriver reports.
add_executable(gui_driver ${CMAKE_SOURCE_DIR}/tests/gui/GuiDriver.cpp)
target_link_options(gui_driver PRIVATE -municode)
set_target_properties(gui_driver PROPERTIES OUTPUT_NAME GuiDriver RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/gui)
if(TARGET TavlinSkelda)
  add_dependencies(gui_driver TavlinSkelda)
endif()
skelda_host_test(frontend_gui_e2e ${CMAKE_SOURCE_DIR}/tests/gui/gui-e2e.sh PREFIX desktop OWN_DISPLAY TIMEOUT 1200)
