# The audio library stand-in for Windows, for a mingw-w64 build: the portable core
# (cmake/audio-core.cmake) with the Audio Compression Manager's MP3 decoder and the waveOut output
# (platform/windows/), and the failure injection the core calls.
#
# Inputs (set before include(); all optional):
#   MORVANITE_SOURCE_DIR             the repository's root; default: the folder above this file.
#   MORVANITE_BASS_INCLUDE_DIR       a folder holding bass.h and no other stand-in header, so that
#                                    <windows.h> stays the system's; default: platform/bass.
#   MORVANITE_AUDIO_WITH_FAILURES    ON (default): morvanite_audio_windows carries
#                                    platform/failures.cpp (ShouldFail, ArmFailure). OFF when the
#                                    including build links that file itself (the headless renderer
#                                    with the platform).
# Defines:
#   morvanite_audio_windows_io       static library: the decoder (with its frame walker) and the
#                                    output alone, compiled against the real Windows headers;
#                                    needs nothing of the core; links msacm32 and winmm.
#                                    They meet the core through plain C++ (mp3_decode.h,
#                                    output.h), so a build that compiles the core against our
#                                    stand-in headers (the headless renderer) links this alone.
#   morvanite_audio_windows          static library: the core, compiled against the real headers,
#                                    with morvanite_audio_windows_io; its users include <bass.h>
#                                    (and the repository's root) through it.
# Neither may see platform/include: keep that folder off directory-wide include paths.
if(NOT DEFINED MORVANITE_SOURCE_DIR)
  get_filename_component(MORVANITE_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
endif()
if(NOT DEFINED MORVANITE_BASS_INCLUDE_DIR)
  set(MORVANITE_BASS_INCLUDE_DIR ${MORVANITE_SOURCE_DIR}/platform/bass)
endif()
option(MORVANITE_AUDIO_WITH_FAILURES "Carry platform/failures.cpp in the Windows audio library" ON)

add_library(morvanite_audio_windows_io STATIC
  ${MORVANITE_SOURCE_DIR}/platform/audio/mpeg_frames.cpp
  ${MORVANITE_SOURCE_DIR}/platform/windows/acm_decode.cpp
  ${MORVANITE_SOURCE_DIR}/platform/windows/waveout_output.cpp)
target_include_directories(morvanite_audio_windows_io PRIVATE ${MORVANITE_SOURCE_DIR})
target_link_libraries(morvanite_audio_windows_io PUBLIC msacm32 winmm)

include(${MORVANITE_SOURCE_DIR}/cmake/audio-core.cmake)
add_library(morvanite_audio_windows STATIC ${MORVANITE_AUDIO_CORE_SOURCES})
if(MORVANITE_AUDIO_WITH_FAILURES)
  target_sources(morvanite_audio_windows PRIVATE ${MORVANITE_SOURCE_DIR}/platform/failures.cpp)
endif()
target_include_directories(morvanite_audio_windows PUBLIC
  ${MORVANITE_SOURCE_DIR} ${MORVANITE_BASS_INCLUDE_DIR})
target_link_libraries(morvanite_audio_windows PUBLIC morvanite_audio_windows_io)
