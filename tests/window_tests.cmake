find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

add_executable(window_tests
  window_test_main.cpp
  test_dir.cpp
  app/display_check_test.cpp
  app/event_loop_test.cpp
  app/window_set_test.cpp
  ui/controls_test.cpp
  window/shared_state_test.cpp
  ui/key_codes_test.cpp
  ui/twips_test.cpp
  shell/file_chooser_test.cpp
  shell/input_method_test.cpp
  shell/new_file_dialog_test.cpp
  shell/main_window_test.cpp
  shell/settings_dialog_test.cpp
  editor/change_journal_test.cpp
  editor/editor_window_test.cpp
  editor/field_check_test.cpp
  editor/question_edit_test.cpp
  quiz/asking_order_test.cpp
  quiz/judging_test.cpp
  quiz/quiz_pass_test.cpp
  quiz/quiz_window_test.cpp
  reliability/bad_file_catalogue_test.cpp
)
set_target_properties(window_tests PROPERTIES AUTOMOC ON)
target_include_directories(window_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(window_tests PRIVATE
  STUDYHOP_FIXTURES="${CMAKE_CURRENT_SOURCE_DIR}/fixtures"
  STUDYHOP_PROGRAM="$<TARGET_FILE:studyhop>")
add_dependencies(window_tests studyhop)
target_link_libraries(window_tests PRIVATE studyhop_windows Qt6::Test GTest::gtest)
gtest_discover_tests(window_tests DISCOVERY_MODE PRE_TEST
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# One copy of the program driven from stdin, for the two-copies test. The test
# runs from scripts/reliability; it joins ctest once the windows compare the
# file's stamp before every write (until then it fails, as it should).
add_executable(copy_driver reliability/copy_driver.cpp)
target_link_libraries(copy_driver PRIVATE studyhop_windows)
add_executable(two_copies_test reliability/two_copies_test.cpp test_dir.cpp)
target_include_directories(two_copies_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(two_copies_test PRIVATE studyhop_data GTest::gtest GTest::gtest_main)
target_compile_definitions(two_copies_test PRIVATE STUDYHOP_COPY_DRIVER="$<TARGET_FILE:copy_driver>")
add_dependencies(two_copies_test copy_driver)
