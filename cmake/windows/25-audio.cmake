# The audio library stand-in for Windows, the one piece of platform/ that Windows lacks: the
# portable core with the Audio Compression Manager's decoder and a waveOut output
# (platform/windows). A tree without them yet takes the silent decoder and no output. Built on the
# real Windows headers, it serves both the program and the headless renderer: its calls have C
# linkage and its hooks (failures, virtual clock) no Windows types.
include(${CMAKE_SOURCE_DIR}/cmake/audio-core.cmake)
set(MORVANITE_WINDOWS_DECODER ${CMAKE_SOURCE_DIR}/platform/windows/acm_decode.cpp)
if(NOT EXISTS ${MORVANITE_WINDOWS_DECODER})
  set(MORVANITE_WINDOWS_DECODER ${CMAKE_SOURCE_DIR}/platform/audio/silent_decode.cpp)
endif()
set(MORVANITE_WINDOWS_OUTPUT ${CMAKE_SOURCE_DIR}/platform/windows/waveout_output.cpp)
if(NOT EXISTS ${MORVANITE_WINDOWS_OUTPUT})
  set(MORVANITE_WINDOWS_OUTPUT ${CMAKE_SOURCE_DIR}/platform/audio/no_output.cpp)
endif()
add_library(morvanite_audio_win STATIC
  ${MORVANITE_AUDIO_CORE_SOURCES} ${MORVANITE_WINDOWS_DECODER} ${MORVANITE_WINDOWS_OUTPUT})
target_include_directories(morvanite_audio_win PUBLIC
  ${CMAKE_SOURCE_DIR}
  ${CMAKE_SOURCE_DIR}/platform/bass)
target_link_libraries(morvanite_audio_win PUBLIC msacm32 winmm)

# The failure injection the core asks, for the program (the renderer has its own in the platform
# library): no failure is ever armed there.
add_library(morvanite_failures_win STATIC ${CMAKE_SOURCE_DIR}/platform/failures.cpp)
target_include_directories(morvanite_failures_win PRIVATE
  ${CMAKE_SOURCE_DIR}
  ${CMAKE_SOURCE_DIR}/platform/bass)
