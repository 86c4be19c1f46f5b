cmake_minimum_required(VERSION 3.22)
# Fails when a file under src/ includes upwards or sideways:
#   data < ui < window < the windows (shell, quiz, editor) < app and main.cpp;
#   data < tool (the command-line tool, beside ui).
# A folder may include its own files and any lower folder. A window's header
# (a class deriving from Form) is included only by its own .cpp, by app/, and
# by the pairs listed in kAllowedWindowIncludes. data/ includes no Qt header.
# Run as: cmake -DSRC=<src dir> -P include_layers.cmake

set(kRank_data 0)
set(kRank_ui 1)
# studyhop-tool, a composition root of its own on the data layer alone.
set(kRank_tool 1)
set(kRank_window 2)
set(kRank_shell 3)
set(kRank_quiz 3)
set(kRank_editor 3)
set(kRank_app 4)

# "includer|included": a window that must touch another window's controls.
set(kAllowedWindowIncludes
  "quiz/quiz_window.cpp|quiz/result_window.h"      # the quiz fills the result window
  "shell/main_window.cpp|shell/file_chooser.h"     # the main window sets the chooser's mode
)

if(NOT SRC)
  message(FATAL_ERROR "SRC is not set")
endif()
file(GLOB_RECURSE files RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")

set(window_headers "")
foreach(f IN LISTS files)
  if(f MATCHES "\\.h$")
    file(READ "${SRC}/${f}" text)
    if(text MATCHES "class [A-Za-z0-9_]+ : public Form[ \n{]")
      list(APPEND window_headers "${f}")
    endif()
  endif()
endforeach()

set(faults "")
foreach(f IN LISTS files)
  if(f STREQUAL "main.cpp")
    set(folder app)
  else()
    string(REGEX REPLACE "/.*" "" folder "${f}")
  endif()
  if(NOT DEFINED kRank_${folder})
    list(APPEND faults "${f}: folder '${folder}' has no layer")
    continue()
  endif()
  file(STRINGS "${SRC}/${f}" lines REGEX "^[ \t]*#[ \t]*include")
  string(REGEX REPLACE "\\.(h|cpp)$" "" own "${f}")
  foreach(line IN LISTS lines)
    if(folder STREQUAL "data" AND line MATCHES "<Q")
      list(APPEND faults "${f}: data includes Qt: ${line}")
    endif()
    if(NOT line MATCHES "\"([a-z_]+)/([^\"]+)\"")
      continue()
    endif()
    set(target_folder "${CMAKE_MATCH_1}")
    set(target "${CMAKE_MATCH_1}/${CMAKE_MATCH_2}")
    if(NOT DEFINED kRank_${target_folder})
      list(APPEND faults "${f}: includes '${target}' from no layer")
      continue()
    endif()
    if("${f}|${target}" IN_LIST kAllowedWindowIncludes)
      continue()
    endif()
    if(NOT target_folder STREQUAL folder AND
       NOT kRank_${target_folder} LESS kRank_${folder})
      list(APPEND faults "${f}: includes '${target}' upwards or sideways")
      continue()
    endif()
    string(REGEX REPLACE "\\.h$" "" target_stem "${target}")
    if(target IN_LIST window_headers AND NOT folder STREQUAL "app" AND
       NOT target_stem STREQUAL own)
      list(APPEND faults "${f}: includes the window header '${target}'")
    endif()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes that break the layers:\n  ${text}")
endif()
list(LENGTH files n)
list(LENGTH window_headers w)
message(STATUS "${n} files, ${w} window headers: every include points down")
