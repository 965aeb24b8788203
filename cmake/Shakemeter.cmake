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

# A library made of the C++ files directly in one folder (not its subfolders), so that a new
# class is picked up by adding its files. A folder without sources yet gives an interface library.
# Usage: shakemeter_folder_library(name [DIR dir] [LINK deps...])
function(shakemeter_folder_library name)
  cmake_parse_arguments(ARG "" "DIR" "LINK" ${ARGN})
  if(NOT ARG_DIR)
    set(ARG_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  file(GLOB cpp CONFIGURE_DEPENDS ${ARG_DIR}/*.cpp)
  file(GLOB extra CONFIGURE_DEPENDS ${ARG_DIR}/*.h ${ARG_DIR}/*.qrc)
  if(cpp)
    add_library(${name} STATIC ${cpp} ${extra})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LINK})
    shakemeter_warnings(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_LINK})
  endif()
endfunction()

# An executable made of the C++ files of one folder.
function(shakemeter_folder_program name)
  cmake_parse_arguments(ARG "" "DIR" "LINK" ${ARGN})
  file(GLOB cpp CONFIGURE_DEPENDS ${ARG_DIR}/*.cpp)
  file(GLOB extra CONFIGURE_DEPENDS ${ARG_DIR}/*.h ${ARG_DIR}/*.qrc)
  if(cpp)
    add_executable(${name} ${cpp} ${extra})
    target_link_libraries(${name} PRIVATE ${ARG_LINK})
    shakemeter_warnings(${name})
  endif()
endfunction()
