# Fails when a file includes a header from a layer above its own, when a
# folder of the house is not placed in a layer, and when a core folder holds
# a file that uses a user-interface toolkit. A folder is one layer: its
# files share it whatever they include. The house, bottom-up:
#   core       sign/ settings/ link/ game/ dialogs/ app/ res/: no toolkit
#   qt         qt/framework/ qt/dialogs/ qt/form/ qt/shell/: the Qt desktop program
#   win32      win32/...: the Windows desktop program, beside the Qt one
#   programs   tools/ (command line, virtual sign), on top of everything
# Inside the core and inside each front end the folders are ordered as listed.
# The two front ends never include each other.
# Run as: cmake -DSOURCE_DIR=<tree> -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.25)

# Each row: a folder, its rank (higher may include lower) and its family.
# Ranks of different front-end families are not comparable.
set(folders
    "sign 0 core" "settings 1 core" "link 2 core" "game 3 core" "dialogs 4 core" "app 5 core"
    "res 0 core"
    "qt/framework 10 qt" "qt/dialogs 11 qt" "qt/form 12 qt" "qt/shell 13 qt"
    "win32/framework 10 win32" "win32/dialogs 11 win32" "win32/form 12 win32"
    "win32/shell 13 win32"
    "tools 20 programs")

# Sets <out>_rank, <out>_family and <out>_folder for a path, or <out>_rank to
# -1 when no listed folder holds it. Platform folders inside a core folder
# (link/linux, settings/win32) belong to the folder around them.
function(place path out)
  set(rank -1)
  set(family "")
  set(folder "")
  foreach(row ${folders})
    string(REPLACE " " ";" row "${row}")
    list(GET row 0 dir)
    if(path MATCHES "^${dir}/")
      list(GET row 1 rank)
      list(GET row 2 family)
      set(folder ${dir})
      break()
    endif()
  endforeach()
  set(${out}_rank ${rank} PARENT_SCOPE)
  set(${out}_family ${family} PARENT_SCOPE)
  set(${out}_folder ${folder} PARENT_SCOPE)
endfunction()

# A toolkit header: Qt's, or the Windows user interface's.
set(toolkit_headers "^(Q[A-Za-z]+|Qt[A-Za-z]+/.*|commctrl\\.h|richedit\\.h|shellapi\\.h)$")

# Every folder at the top holds sources of the house but these: build trees,
# the tests and benchmarks (which may reach any layer), and folders of no
# code at all.
file(GLOB tops LIST_DIRECTORIES true RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
list(FILTER tops EXCLUDE REGEX "^(build.*|tests|bench|cmake|deps|docs|man|packaging|\\..*)$")
set(sources "")
foreach(top ${tops})
  if(IS_DIRECTORY ${SOURCE_DIR}/${top})
    file(GLOB_RECURSE found RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${top}/*)
    list(APPEND sources ${found})
  endif()
endforeach()
list(FILTER sources INCLUDE REGEX "\\.(h|hpp|cpp|c|in|rc)$")
set(faults "")
foreach(source ${sources})
  place(${source} own)
  if(own_rank EQUAL -1)
    string(APPEND faults "  ${source}: its folder is not placed in a layer of the house\n")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^#include [<\"]")
  foreach(line ${includes})
    string(REGEX REPLACE "^#include [<\"]([^>\"]+)[>\"].*" "\\1" header "${line}")
    if(own_family STREQUAL "core" AND header MATCHES "${toolkit_headers}")
      string(APPEND faults
             "  ${source}: the core folder ${own_folder} mixes in a toolkit (${header})\n")
      continue()
    endif()
    place(${header} theirs)
    if(theirs_rank EQUAL -1)
      continue()
    endif()
    set(up FALSE)
    if(theirs_family STREQUAL "programs" AND NOT own_family STREQUAL "programs")
      set(up TRUE)
    elseif(NOT theirs_family STREQUAL "core" AND NOT theirs_family STREQUAL own_family
           AND NOT own_family STREQUAL "programs")
      set(up TRUE)
    elseif(theirs_rank GREATER own_rank)
      set(up TRUE)
    endif()
    if(up)
      string(APPEND faults
             "  ${source} (${own_folder}) includes ${header} (${theirs_folder}), a layer above\n")
    endif()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "The house's layers are broken:\n${faults}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files, each folder one layer, every include at or below its own")
