# platform/: the Windows stand-ins (messages, resources, processor, DirectDraw 7, GDI) with the
# headless backend, the SDL2 backend, the program's resources compiled in, and the two programs.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
find_package(PNG REQUIRED)

# --- Resources: every file of resources/resources.list that exists, embedded with .incbin. ---
set(MORVANITE_RESOURCE_DIR ${CMAKE_SOURCE_DIR}/resources)
set(MORVANITE_RESOURCE_LIST ${MORVANITE_RESOURCE_DIR}/resources.list)
# Configure again when the list changes or a file appears or disappears.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${MORVANITE_RESOURCE_LIST})
file(GLOB MORVANITE_RESOURCE_PRESENT CONFIGURE_DEPENDS ${MORVANITE_RESOURCE_DIR}/*)
file(STRINGS ${MORVANITE_RESOURCE_LIST} resource_lines)
set(resource_asm "// Generated from resources/resources.list; do not edit.\n")
string(APPEND resource_asm ".section .rodata.morvanite_resources,\"a\",@progbits\n")
set(resource_cpp "// Generated from resources/resources.list; do not edit.\n#include \"platform/resources.h\"\n\n")
set(resource_rows "")
set(resource_files "")
set(resource_index 0)
foreach(line IN LISTS resource_lines)
  if(line MATCHES "^[ \t]*#" OR line MATCHES "^[ \t]*$")
    continue()
  endif()
  if(NOT line MATCHES "^[ \t]*([A-Za-z0-9_]+)[ \t]+([0-9]+)[ \t]+([^ \t]+)[ \t]*$")
    message(FATAL_ERROR "resources.list: can't read the line '${line}'")
  endif()
  set(resource_type ${CMAKE_MATCH_1})
  set(resource_id ${CMAKE_MATCH_2})
  set(resource_path ${MORVANITE_RESOURCE_DIR}/${CMAKE_MATCH_3})
  if(NOT EXISTS ${resource_path})
    continue()
  endif()
  set(symbol morvanite_resource_${resource_index})
  string(APPEND resource_asm ".balign 16\n.globl ${symbol}\n.hidden ${symbol}\n${symbol}:\n")
  string(APPEND resource_asm ".incbin \"${resource_path}\"\n.globl ${symbol}_end\n.hidden ${symbol}_end\n${symbol}_end:\n.byte 0\n")
  string(APPEND resource_cpp "extern \"C\" const uint8_t ${symbol}[];\nextern \"C\" const uint8_t ${symbol}_end[];\n")
  string(APPEND resource_rows "    {\"${resource_type}\", ${resource_id}, ${symbol}, ${symbol}_end},\n")
  list(APPEND resource_files ${resource_path})
  math(EXPR resource_index "${resource_index} + 1")
endforeach()
string(APPEND resource_asm ".section .note.GNU-stack,\"\",@progbits\n")
string(APPEND resource_cpp "\nnamespace platform {\nconst EmbeddedResource kEmbeddedResources[] = {\n${resource_rows}    {nullptr, 0, nullptr, nullptr},\n};\n}  // namespace platform\n")
# Written only when different, so that an unchanged list does not rebuild anything.
file(WRITE ${CMAKE_BINARY_DIR}/generated/resources_data.S.new "${resource_asm}")
file(WRITE ${CMAKE_BINARY_DIR}/generated/resources_table.cpp.new "${resource_cpp}")
configure_file(${CMAKE_BINARY_DIR}/generated/resources_data.S.new
  ${CMAKE_BINARY_DIR}/generated/resources_data.S COPYONLY)
configure_file(${CMAKE_BINARY_DIR}/generated/resources_table.cpp.new
  ${CMAKE_BINARY_DIR}/generated/resources_table.cpp COPYONLY)
# The embedded bytes are read by the assembler: rebuild when any of the files changes.
set_source_files_properties(${CMAKE_BINARY_DIR}/generated/resources_data.S PROPERTIES
  OBJECT_DEPENDS "${resource_files}")

# --- The stand-ins with the headless backend. ---
file(GLOB MORVANITE_PLATFORM_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/platform/*.cpp
  ${CMAKE_SOURCE_DIR}/platform/headless/*.cpp)
# The audio library stand-in (platform/audio) builds itself and joins this library
# (cmake/modules/30-audio.cmake).
add_library(morvanite_platform STATIC
  ${MORVANITE_PLATFORM_SOURCES}
  ${CMAKE_BINARY_DIR}/generated/resources_data.S
  ${CMAKE_BINARY_DIR}/generated/resources_table.cpp)
target_include_directories(morvanite_platform
  PUBLIC ${CMAKE_SOURCE_DIR}/platform/include
  PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(morvanite_platform PRIVATE PNG::PNG)

# --- The SDL2 backend, for the real program only. ---
add_library(morvanite_platform_sdl STATIC ${CMAKE_SOURCE_DIR}/platform/sdl/backend.cpp)
target_include_directories(morvanite_platform_sdl PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(morvanite_platform_sdl PUBLIC morvanite_platform PkgConfig::SDL2)

# --- The programs. ---
add_executable(morvanite ${CMAKE_SOURCE_DIR}/platform/programs/morvanite.cpp)
target_include_directories(morvanite PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(morvanite PRIVATE morvanite_core morvanite_platform_sdl morvanite_platform)

add_executable(morvanite-render ${CMAKE_SOURCE_DIR}/platform/programs/morvanite_render.cpp)
target_include_directories(morvanite-render PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(morvanite-render PRIVATE morvanite_core morvanite_platform)

# --- Tests: the player without a display (the fault matrix runs morvanite-render: 85-*). ---
add_test(NAME player-without-display
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/programs/player_without_display_test.sh
          $<TARGET_FILE:morvanite> ${CMAKE_BINARY_DIR}/player-runs)

# The unit tests of platform/ read libpng and the resource folder.
function(morvanite_platform_link_tests)
  if(TARGET morvanite-tests)
    target_link_libraries(morvanite-tests PRIVATE PNG::PNG)
    target_compile_definitions(morvanite-tests PRIVATE MORVANITE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  endif()
endfunction()
cmake_language(DEFER CALL morvanite_platform_link_tests)
