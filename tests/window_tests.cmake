find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

add_executable(window_tests
  window_test_main.cpp
  test_dir.cpp
  app/display_check_test.cpp
  app/event_loop_test.cpp
  app/hook_file_test.cpp
  app/window_set_test.cpp
  ui/controls_test.cpp
  window/shared_state_test.cpp
  ui/key_codes_test.cpp
  ui/twips_test.cpp
  ui/text_fit_test.cpp
  ui/window_placement_test.cpp
  window/form_test.cpp
  window/accessibility_test.cpp
  window/high_dpi_test.cpp
  shell/file_chooser_test.cpp
  shell/file_name_bytes_test.cpp
  shell/input_method_test.cpp
  shell/new_file_dialog_test.cpp
  shell/main_window_test.cpp
  shell/settings_dialog_test.cpp
  shell/start_up_files_test.cpp
  shell/pipes_and_devices_test.cpp
  shell/unregistered_input_test.cpp
  editor/change_journal_test.cpp
  editor/editor_window_test.cpp
  editor/editor_file_guard_test.cpp
  editor/field_check_test.cpp
  quiz/asking_order_test.cpp
  quiz/judging_test.cpp
  quiz/quiz_pass_test.cpp
  quiz/quiz_window_test.cpp
  quiz/quiz_file_guard_test.cpp
  reliability/bad_file_catalogue_test.cpp
)
set_target_properties(window_tests PROPERTIES AUTOMOC ON)
target_include_directories(window_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(window_tests PRIVATE
  STUDYHOP_FIXTURES="${CMAKE_CURRENT_SOURCE_DIR}/fixtures"
  STUDYHOP_PROGRAM="$<TARGET_FILE:studyhop>")
add_dependencies(window_tests studyhop)
# Qt's own platform accessibility switch lets the tests listen like a screen reader.
target_link_libraries(window_tests PRIVATE studyhop_windows Qt6::Test Qt6::GuiPrivate GTest::gtest)
gtest_discover_tests(window_tests DISCOVERY_MODE PRE_TEST
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# The windows at twice the scale, as on a 192 dpi screen.
add_test(NAME HighDpiTest.AtScaleTwo COMMAND window_tests --gtest_filter=HighDpiTest.*)
set_tests_properties(HighDpiTest.AtScaleTwo PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=2")

# One copy of the program driven from stdin, and the test that runs two of
# them on one folder.
add_executable(copy_driver reliability/copy_driver.cpp)
target_link_libraries(copy_driver PRIVATE studyhop_windows)
add_executable(two_copies_test reliability/two_copies_test.cpp test_dir.cpp)
target_include_directories(two_copies_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(two_copies_test PRIVATE studyhop_data GTest::gtest GTest::gtest_main)
target_compile_definitions(two_copies_test PRIVATE STUDYHOP_COPY_DRIVER="$<TARGET_FILE:copy_driver>")
add_dependencies(two_copies_test copy_driver)
gtest_discover_tests(two_copies_test DISCOVERY_MODE PRE_TEST
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# Two machines sharing a folder through two real Syncthing instances; needs
# the instances that scripts/sync-check starts, so it is not in the suite.
find_package(Qt6 REQUIRED COMPONENTS Network)
add_executable(sync_check reliability/sync_check.cpp test_dir.cpp)
target_include_directories(sync_check PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(sync_check PRIVATE studyhop_windows Qt6::Network GTest::gtest)
