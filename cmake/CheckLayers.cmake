# The layering check: every source file includes only headers of its own folder and of the folders
# below it, and the cores include no Qt header outside QtCore.
#   cmake -DSOURCE_DIR=<tree> -DQT_CORE_INCLUDE=<QtCore's include folder> [-DEVERY_FOLDER=ON]
#         -P cmake/CheckLayers.cmake
# EVERY_FOLDER also requires each folder of the table to hold sources, so that the table follows
# the tree when a folder moves.

cmake_minimum_required(VERSION 3.22)

# The folders, bottom to top, each with the folders it uses directly; what those use it may use too.
set(folders
  transform recording settings analysis/report analysis/vibration analysis/export graph/core session logger shell
  tools/sim
  controls analysis/widgets graph/widgets logger/widgets shell/widgets shell/app
  tools/cli
  launcher)
set(uses_transform "")
set(uses_recording transform)
set(uses_settings "")
set(uses_analysis/report recording)
set(uses_analysis/vibration recording)
set(uses_analysis/export analysis/vibration)
# The visible rows are a row range of the analysis; the display switches are the settings'.
set(uses_graph/core recording settings analysis/vibration)
# A session names recordings and the graph's comparison, cursors and zoom.
set(uses_session recording graph/core)
set(uses_logger recording)
set(uses_shell "")
# render draws the graph with the graph pane's painter.
set(uses_tools/cli analysis/export logger settings graph/widgets session)
set(uses_tools/sim logger)
# The program profile keeps the analysis unit and the event levels in the analysis's terms.
set(uses_controls recording shell analysis/vibration)
set(uses_analysis/widgets controls analysis/report analysis/vibration graph/core)
# The graph pane's toolbar opens the display settings dialogs; its event marks come from the
# vibration analysis.
set(uses_graph/widgets controls analysis/widgets analysis/vibration graph/core)
set(uses_logger/widgets controls logger)
set(uses_shell/widgets
  controls analysis/widgets analysis/export graph/widgets logger/widgets logger settings shell session)
set(uses_shell/app shell/widgets)
# The launcher on the installation medium shares nothing with the rest.
set(uses_launcher "")
# The cores: no Qt widgets or painting.
set(cores transform recording settings analysis/report analysis/vibration analysis/export graph/core session logger
  shell)
# Folders outside the layers: tests and benchmarks use what they test; the rest holds no code.
set(outside tests bench build cmake docs resources samples scripts .git .ci)

if(NOT SOURCE_DIR OR NOT QT_CORE_INCLUDE)
  message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<tree> -DQT_CORE_INCLUDE=<dir> -P CheckLayers.cmake")
endif()

# Each folder's uses, closed over the uses of the folders it uses.
foreach(folder IN LISTS folders)
  set(reach ${uses_${folder}})
  set(todo ${uses_${folder}})
  while(todo)
    list(POP_FRONT todo next)
    foreach(lower IN LISTS uses_${next})
      if(NOT lower IN_LIST reach)
        list(APPEND reach ${lower})
        list(APPEND todo ${lower})
      endif()
    endforeach()
  endwhile()
  set(reach_${folder} ${reach})
endforeach()

file(GLOB top RELATIVE ${SOURCE_DIR} LIST_DIRECTORIES true ${SOURCE_DIR}/*)
set(sources "")
foreach(entry IN LISTS top)
  if(entry IN_LIST outside OR entry MATCHES "^build" OR NOT IS_DIRECTORY ${SOURCE_DIR}/${entry})
    continue()
  endif()
  file(GLOB_RECURSE found RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${entry}/*.h ${SOURCE_DIR}/${entry}/*.cpp)
  list(APPEND sources ${found})
endforeach()
list(SORT sources)

set(faults 0)
set(seen_folders "")
foreach(source IN LISTS sources)
  get_filename_component(folder ${source} DIRECTORY)
  if(NOT folder IN_LIST folders)
    message("${source}: folder ${folder} is in no layer of cmake/CheckLayers.cmake")
    math(EXPR faults "${faults} + 1")
    continue()
  endif()
  list(APPEND seen_folders ${folder})
  file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS includes)
    if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(header ${CMAKE_MATCH_1})
      get_filename_component(header_folder ${header} DIRECTORY)
      if(header_folder STREQUAL "" OR header_folder STREQUAL folder OR header_folder IN_LIST reach_${folder})
        continue()
      endif()
      if(header_folder IN_LIST folders)
        message("${source} includes ${header}: ${folder} does not sit above ${header_folder}")
      else()
        message("${source} includes ${header}, which belongs to no layer")
      endif()
      math(EXPR faults "${faults} + 1")
    elseif(folder IN_LIST cores AND line MATCHES "#[ \t]*include[ \t]*<(Q[^>]*)>")
      set(header ${CMAKE_MATCH_1})
      if(header MATCHES "^QtCore/" OR (NOT header MATCHES "/" AND EXISTS ${QT_CORE_INCLUDE}/${header}))
        continue()
      endif()
      message("${source} includes <${header}>: the core folder ${folder} uses no Qt beyond QtCore")
      math(EXPR faults "${faults} + 1")
    endif()
  endforeach()
endforeach()

if(EVERY_FOLDER)
  foreach(folder IN LISTS folders)
    if(NOT folder IN_LIST seen_folders)
      message("${folder} holds no sources: the layer table of cmake/CheckLayers.cmake is out of date")
      math(EXPR faults "${faults} + 1")
    endif()
  endforeach()
endif()

list(LENGTH sources count)
if(faults GREATER 0)
  message(FATAL_ERROR "layering: ${faults} fault(s) in ${count} files")
endif()
message("layering: ${count} files include only their own and lower folders")
