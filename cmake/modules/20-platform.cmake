# platform/: the Windows stand-ins (messages, resources, processor, DirectDraw 7, GDI) with the
# headless backend, the SDL2 backend, the program's resources compiled in, and the two programs.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
find_package(PNG REQUIRED)
pkg_check_modules(STB REQUIRED IMPORTED_TARGET stb)

# --- Resources: every file of resources/resources.list that exists, embedded with .incbin. ---
include(${CMAKE_SOURCE_DIR}/cmake/resources.cmake)
morvanite_embedded_resources(MORVANITE_RESOURCE_SOURCES)

# --- The stand-ins with the headless backend. ---
file(GLOB MORVANITE_PLATFORM_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/platform/*.cpp
  ${CMAKE_SOURCE_DIR}/platform/headless/*.cpp
  ${CMAKE_SOURCE_DIR}/platform/programs/active_part.cpp)
# The audio library stand-in (platform/audio) builds itself and joins this library
# (cmake/modules/30-audio.cmake).
add_library(morvanite_platform STATIC
  ${MORVANITE_PLATFORM_SOURCES}
  ${MORVANITE_RESOURCE_SOURCES})
target_include_directories(morvanite_platform
  PUBLIC ${CMAKE_SOURCE_DIR}/platform/include ${CMAKE_SOURCE_DIR}/platform/bass
  PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(morvanite_platform PRIVATE PkgConfig::STB)

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
