# The audio library stand-in for Windows, the one piece of platform/ that Windows lacks: the
# portable core with the Audio Compression Manager's decoder and the waveOut output
# (cmake/windows-audio.cmake). Built once on the real Windows headers, it serves both the program
# and the headless renderer: its calls have C linkage and its hooks (failures, virtual clock) no
# Windows types. The renderer's failure injection lives in its platform library; the program takes
# its own (no failure is ever armed there).
set(MORVANITE_AUDIO_WITH_FAILURES OFF)
include(${CMAKE_SOURCE_DIR}/cmake/windows-audio.cmake)

add_library(morvanite_failures_win STATIC ${CMAKE_SOURCE_DIR}/platform/failures.cpp)
target_include_directories(morvanite_failures_win PRIVATE
  ${CMAKE_SOURCE_DIR}
  ${CMAKE_SOURCE_DIR}/platform/bass)
