# The portable core of the audio library stand-in: the BASS_* calls and the play clocks, over a
# decoder (platform/audio/mp3_decode.h) and an output (platform/audio/output.h) that each build
# adds. It needs <bass.h> and platform/failures.cpp (ShouldFail), and nothing of SDL, mpg123 or
# the backends.
set(MORVANITE_AUDIO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/../platform/audio/bass.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../platform/audio/play_clock.cpp)
