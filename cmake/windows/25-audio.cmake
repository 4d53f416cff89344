# The audio library stand-in for the Windows program: silent for now, on monotonic time.
add_library(morvanite_audio_win STATIC
  ${CMAKE_SOURCE_DIR}/platform/windows/bass_silent.cpp
  ${CMAKE_SOURCE_DIR}/platform/windows/silent_clock_monotonic.cpp)
target_include_directories(morvanite_audio_win PUBLIC
  ${CMAKE_SOURCE_DIR}
  ${CMAKE_SOURCE_DIR}/platform/bass)
