# morvanite-render for Windows: the headless renderer of Linux, built on our own stand-ins (not the
# real Win32), with every option it has there. Its hashes show that the frames do not depend on
# the compiler, the C runtime or its maths library. 64-bit builds only.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
  return()
endif()
include(${CMAKE_SOURCE_DIR}/cmake/resources.cmake)
morvanite_embedded_resources(MORVANITE_RESOURCE_SOURCES)

# stb_image_write (header only) from Debian's libstb-dev writes the pictures.
find_path(MORVANITE_STB_DIR stb_image_write.h PATHS /usr/include/stb NO_CMAKE_FIND_ROOT_PATH
  NO_DEFAULT_PATH REQUIRED)

add_library(morvanite_core STATIC ${MORVANITE_CORE_SOURCES})
target_include_directories(morvanite_core PUBLIC
  ${CMAKE_SOURCE_DIR}
  ${CMAKE_SOURCE_DIR}/platform/include
  ${CMAKE_SOURCE_DIR}/platform/bass)

file(GLOB MORVANITE_PLATFORM_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/platform/*.cpp
  ${CMAKE_SOURCE_DIR}/platform/headless/*.cpp
  ${CMAKE_SOURCE_DIR}/platform/programs/active_part.cpp)
# The player's window placement and numbered pictures (view.cpp) are the SDL2 program's.
list(REMOVE_ITEM MORVANITE_PLATFORM_SOURCES ${CMAKE_SOURCE_DIR}/platform/view.cpp)
add_library(morvanite_platform STATIC ${MORVANITE_PLATFORM_SOURCES} ${MORVANITE_RESOURCE_SOURCES})
target_include_directories(morvanite_platform PUBLIC
  ${CMAKE_SOURCE_DIR}
  ${CMAKE_SOURCE_DIR}/platform/include
  ${CMAKE_SOURCE_DIR}/platform/bass)
target_include_directories(morvanite_platform SYSTEM PRIVATE ${MORVANITE_STB_DIR})

# No FFmpeg for mingw-w64 in Debian: --video and --wav say so in one line.
add_executable(morvanite-render-win64 ${CMAKE_SOURCE_DIR}/platform/programs/morvanite_render.cpp
  ${CMAKE_SOURCE_DIR}/platform/capture/no_capture.cpp)
target_link_libraries(morvanite-render-win64 PRIVATE
  morvanite_core morvanite_platform morvanite_audio_windows morvanite_platform)
