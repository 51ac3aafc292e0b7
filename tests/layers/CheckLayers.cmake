# Fails when a file includes a header from a layer above its own. The house,
# bottom-up:
#   core       sign/ settings/ link/ game/ (not the form), dialogs/SavedSettings
#              no Qt, nothing from the layers below
#   framework  framework/: the Qt layer the form and the dialogs stand on
#   widgets    dialogs/ and the form (game/RavelleView)
#   shell      app/
#   programs   tools/ (command line, virtual sign), on top of everything
# Run as: cmake -DSOURCE_DIR=<tree> -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.25)

function(layer_of path out)
  if(path MATCHES "^game/RavelleView\\.")
    set(layer 2)
  elseif(path MATCHES "^dialogs/SavedSettings\\.")
    set(layer 0)
  elseif(path MATCHES "^(sign|settings|link|game)/")
    set(layer 0)
  elseif(path MATCHES "^framework/")
    set(layer 1)
  elseif(path MATCHES "^dialogs/")
    set(layer 2)
  elseif(path MATCHES "^app/")
    set(layer 3)
  elseif(path MATCHES "^tools/")
    set(layer 4)
  elseif(path MATCHES "^res/")
    set(layer 0)
  else()
    set(layer -1)
  endif()
  set(${out} ${layer} PARENT_SCOPE)
endfunction()

set(names core framework widgets shell programs)
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
     ${SOURCE_DIR}/sign/* ${SOURCE_DIR}/settings/* ${SOURCE_DIR}/link/* ${SOURCE_DIR}/game/*
     ${SOURCE_DIR}/dialogs/* ${SOURCE_DIR}/framework/* ${SOURCE_DIR}/app/*)
list(FILTER sources INCLUDE REGEX "\\.(h|hpp|cpp|c|in)$")
set(faults "")
foreach(source ${sources})
  layer_of(${source} own)
  file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^#include [<\"]")
  foreach(line ${includes})
    string(REGEX REPLACE "^#include [<\"]([^>\"]+)[>\"].*" "\\1" header "${line}")
    if(own EQUAL 0 AND header MATCHES "^Q")
      string(APPEND faults "  ${source}: the core includes the Qt header ${header}\n")
      continue()
    endif()
    layer_of(${header} theirs)
    if(theirs GREATER own)
      list(GET names ${own} ownName)
      list(GET names ${theirs} theirName)
      string(APPEND faults "  ${source} (${ownName}) includes ${header} (${theirName})\n")
    endif()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "Includes that reach up a layer:\n${faults}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files, every include at or below its own layer")
