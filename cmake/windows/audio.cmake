# The audio library stand-in for Windows, for a mingw-w64 build against the real Windows headers:
# the portable core (cmake/audio-core.cmake) with the Audio Compression Manager's MP3 decoder and
# the waveOut output (platform/windows/), and the failure injection the core calls.
#
# Inputs (set before include(); all optional):
#   MORVANITE_SOURCE_DIR             the repository's root; default: two folders above this file.
#   MORVANITE_BASS_INCLUDE_DIR       a folder holding bass.h and no other stand-in header, so that
#                                    <windows.h> stays the system's; default: a copy of
#                                    platform/include/bass.h in ${CMAKE_BINARY_DIR}/bass-include.
#   MORVANITE_AUDIO_WITH_FAILURES    ON (default): the library carries platform/failures.cpp
#                                    (ShouldFail, ArmFailure). OFF when the including build links
#                                    that file itself (the headless renderer with the platform).
# Defines:
#   morvanite_audio_windows          static library; its users include <bass.h> (and the
#                                    repository's root) through it; links msacm32 and winmm.
if(NOT DEFINED MORVANITE_SOURCE_DIR)
  get_filename_component(MORVANITE_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)
endif()
if(NOT DEFINED MORVANITE_BASS_INCLUDE_DIR)
  set(MORVANITE_BASS_INCLUDE_DIR ${CMAKE_BINARY_DIR}/bass-include)
  configure_file(${MORVANITE_SOURCE_DIR}/platform/include/bass.h
    ${MORVANITE_BASS_INCLUDE_DIR}/bass.h COPYONLY)
endif()
option(MORVANITE_AUDIO_WITH_FAILURES "Carry platform/failures.cpp in the Windows audio library" ON)

include(${MORVANITE_SOURCE_DIR}/cmake/audio-core.cmake)
add_library(morvanite_audio_windows STATIC
  ${MORVANITE_AUDIO_CORE_SOURCES}
  ${MORVANITE_SOURCE_DIR}/platform/windows/acm_decode.cpp
  ${MORVANITE_SOURCE_DIR}/platform/windows/waveout_output.cpp)
if(MORVANITE_AUDIO_WITH_FAILURES)
  target_sources(morvanite_audio_windows PRIVATE ${MORVANITE_SOURCE_DIR}/platform/failures.cpp)
endif()
target_include_directories(morvanite_audio_windows PUBLIC
  ${MORVANITE_SOURCE_DIR} ${MORVANITE_BASS_INCLUDE_DIR})
target_link_libraries(morvanite_audio_windows PUBLIC msacm32 winmm)
