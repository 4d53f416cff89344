# The audio library stand-in for Windows: silent for now, on a clock of its own. The real program
# takes monotonic time; the headless renderer the backend's virtual clock.
add_library(morvanite_audio_win STATIC
  ${CMAKE_SOURCE_DIR}/platform/windows/bass_silent.cpp
  ${CMAKE_SOURCE_DIR}/platform/windows/silent_clock_monotonic.cpp)
target_include_directories(morvanite_audio_win PUBLIC
  ${CMAKE_SOURCE_DIR}
  ${CMAKE_SOURCE_DIR}/platform/bass)

add_library(morvanite_audio_render STATIC
  ${CMAKE_SOURCE_DIR}/platform/windows/bass_silent.cpp
  ${CMAKE_SOURCE_DIR}/platform/windows/silent_clock_headless.cpp)
target_include_directories(morvanite_audio_render PRIVATE
  ${CMAKE_SOURCE_DIR}
  ${CMAKE_SOURCE_DIR}/platform/include
  ${CMAKE_SOURCE_DIR}/platform/bass)
