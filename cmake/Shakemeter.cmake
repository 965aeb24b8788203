# Helpers shared by every folder's CMakeLists.txt.

# Warnings that every target of our own code compiles with.
function(shakemeter_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  # gcc 12 reports false -Wrestrict findings inside the standard library's string code when it
  # inlines aggressively; they are not about our code.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()

# The C++ files directly in the current folder (not its subfolders), for the library or program
# `name`; a folder without any is a mistake of the tree.
function(shakemeter_folder_sources out kind name)
  file(GLOB cpp CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT cpp)
    message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR} holds no sources for ${kind} ${name}")
  endif()
  set(${out} ${cpp} ${headers} PARENT_SCOPE)
endfunction()

# A library made of the C++ files directly in the current folder, so that a
# new class is picked up by adding its files. CORE marks a library of the lowest layers, which must
# not reach Qt's widgets or painting (checked by shakemeter_check_core_links).
# Usage: shakemeter_folder_library(name [CORE] [LINK deps...])
function(shakemeter_folder_library name)
  cmake_parse_arguments(ARG "CORE" "" "LINK" ${ARGN})
  shakemeter_folder_sources(sources library ${name})
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LINK})
  shakemeter_warnings(${name})
  if(ARG_CORE)
    set_property(GLOBAL APPEND PROPERTY SHAKEMETER_CORE_LIBRARIES ${name})
  endif()
endfunction()

# An executable made of the C++ files of the current folder.
# Usage: shakemeter_folder_program(name [LINK deps...])
function(shakemeter_folder_program name)
  cmake_parse_arguments(ARG "" "" "LINK" ${ARGN})
  shakemeter_folder_sources(sources program ${name})
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LINK})
  shakemeter_warnings(${name})
endfunction()

# Every library a target links, directly or through other libraries of this build.
function(shakemeter_collect_links target out)
  set(seen ${${out}})
  get_target_property(type ${target} TYPE)
  set(links "")
  if(NOT type STREQUAL "INTERFACE_LIBRARY")
    get_target_property(direct ${target} LINK_LIBRARIES)
    if(direct)
      list(APPEND links ${direct})
    endif()
  endif()
  get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
  if(interface)
    list(APPEND links ${interface})
  endif()
  foreach(link IN LISTS links)
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
    if(link IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${link})
    if(TARGET ${link})
      get_target_property(imported ${link} IMPORTED)
      if(NOT imported)
        shakemeter_collect_links(${link} seen)
      endif()
    endif()
  endforeach()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# The core libraries stay free of Qt's widgets and painting: the command line program and the
# tests of the cores run without a display, and the widget folders sit above the cores.
function(shakemeter_check_core_links)
  get_property(cores GLOBAL PROPERTY SHAKEMETER_CORE_LIBRARIES)
  foreach(core IN LISTS cores)
    set(links "")
    shakemeter_collect_links(${core} links)
    foreach(forbidden Qt6::Widgets Qt6::Gui Qt6::PrintSupport Qt6::Test)
      if(forbidden IN_LIST links)
        message(FATAL_ERROR "Core library ${core} links ${forbidden}: widgets and painting belong above the cores")
      endif()
    endforeach()
  endforeach()
endfunction()
