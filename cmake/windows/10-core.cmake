# The system's own code (runtime, video, image, parts) against the real Windows headers: the
# include path has the source tree and the audio library's header, nothing of platform/include.
file(GLOB MORVANITE_CORE_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/runtime/*.cpp
  ${CMAKE_SOURCE_DIR}/video/*.cpp
  ${CMAKE_SOURCE_DIR}/image/*.cpp
  ${CMAKE_SOURCE_DIR}/parts/*.cpp)
# Object files, so that the program takes WinMain from them: nothing else refers to it.
add_library(morvanite_core_win OBJECT ${MORVANITE_CORE_SOURCES})
target_include_directories(morvanite_core_win PUBLIC
  ${CMAKE_SOURCE_DIR}
  ${CMAKE_SOURCE_DIR}/platform/bass)
# Self-contained executables: the C and C++ runtimes (and the thread library) linked in.
add_link_options(-static -static-libgcc -static-libstdc++)
