find_package(Qt6 REQUIRED COMPONENTS Widgets)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)

# The windows and their binding to Qt.
add_library(studyhop_windows STATIC
  ui/controls.cpp ui/controls.h
  ui/file_list_box.cpp ui/file_list_box.h
  ui/key_codes.cpp
  ui/qt_prompt.cpp
  ui/question_box.cpp ui/question_box.h
  ui/spoken_label.cpp ui/spoken_label.h
  ui/text_fit.cpp ui/text_fit.h
  ui/twips.cpp
  ui/window_placement.cpp ui/window_placement.h
  window/random_source.h
  window/window_context.h
  window/question_files.h
  window/file_state.h
  window/window_owner.h
  window/change_journal.h
  shell/file_chooser.cpp shell/file_chooser.h
  window/form.cpp window/form.h
  shell/new_file_dialog.cpp shell/new_file_dialog.h
  shell/main_window.cpp shell/main_window.h
  shell/password_dialog.cpp shell/password_dialog.h
  shell/settings_dialog.cpp shell/settings_dialog.h
  window/shared_state.cpp window/shared_state.h
  window/file_change.cpp window/file_change.h
  app/display_check.cpp app/display_check.h
  app/hook_file.cpp app/hook_file.h
  app/journal_file.cpp app/journal_file.h
  app/window_set.cpp app/window_set.h
  shell/resources/resources.qrc
  editor/editor_window.cpp editor/editor_window.h
  editor/field_check.cpp
  editor/question_edit.cpp editor/question_edit.h
  quiz/asking_order.cpp
  quiz/judging.cpp
  quiz/quiz_pass.cpp quiz/quiz_pass.h
  quiz/quiz_window.cpp quiz/quiz_window.h
  quiz/result_window.cpp quiz/result_window.h
)
target_include_directories(studyhop_windows PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(studyhop_windows PUBLIC studyhop_data Qt6::Widgets ${CMAKE_DL_LIBS})

add_executable(studyhop main.cpp)
target_link_libraries(studyhop PRIVATE studyhop_windows)
