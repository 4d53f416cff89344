# The audio library stand-in (the BASS_* calls of platform/bass/bass.h): the portable core with
# libmpg123 decoding and SDL2 output, and the MPEG frame walker of the decoders that take frames
# (for its tests). The platform library carries it to the programs and tests.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MORVANITE_AUDIO_MPG123 REQUIRED IMPORTED_TARGET libmpg123)
pkg_check_modules(MORVANITE_AUDIO_SDL2 REQUIRED IMPORTED_TARGET sdl2)

include(${CMAKE_SOURCE_DIR}/cmake/audio-core.cmake)
add_library(morvanite_audio STATIC
  ${MORVANITE_AUDIO_CORE_SOURCES}
  ${CMAKE_SOURCE_DIR}/platform/audio/mpeg_frames.cpp
  ${CMAKE_SOURCE_DIR}/platform/audio/mpg123_decode.cpp
  ${CMAKE_SOURCE_DIR}/platform/audio/sdl_output.cpp)
target_include_directories(morvanite_audio PUBLIC
  ${CMAKE_SOURCE_DIR}
  ${CMAKE_SOURCE_DIR}/platform/include
  ${CMAKE_SOURCE_DIR}/platform/bass)
target_link_libraries(morvanite_audio PRIVATE PkgConfig::MORVANITE_AUDIO_MPG123 PkgConfig::MORVANITE_AUDIO_SDL2)

if(TARGET morvanite_platform)
  target_link_libraries(morvanite_platform PUBLIC morvanite_audio)
  # The headless clock and the failure injection live in the platform library.
  target_link_libraries(morvanite_audio PRIVATE morvanite_platform)
else()
  # No platform library in this tree: a placeholder that carries the audio library, so that
  # the targets naming it link.
  add_library(morvanite_platform INTERFACE)
  target_link_libraries(morvanite_platform INTERFACE morvanite_audio)
endif()

# The audio tests (tests/unit/audio_*.cpp, in the unit test binary) make their MP3s with the
# music encoder library, defined by a later fragment.
function(morvanite_audio_link_tests)
  if(TARGET morvanite-tests AND TARGET morvanite_mp3enc)
    target_link_libraries(morvanite-tests PRIVATE morvanite_mp3enc)
  endif()
  if(TARGET morvanite-tests)
    target_link_libraries(morvanite-tests PRIVATE PkgConfig::MORVANITE_AUDIO_SDL2)
  endif()
endfunction()
cmake_language(DEFER CALL morvanite_audio_link_tests)

# A checker for captures of the audio output: silence, the stream from its first sample, silence.
add_executable(audio-capture-check ${CMAKE_SOURCE_DIR}/tests/audio/capture_check.cpp)
target_link_libraries(audio-capture-check PRIVATE morvanite_audio)

# The cases of the Windows audio check (`make check-windows-audio`): MP3 streams and what this
# build's decoder makes of them.
function(morvanite_audio_windows_cases)
  if(TARGET morvanite_mp3enc)
    add_executable(make-audio-cases EXCLUDE_FROM_ALL
      ${CMAKE_SOURCE_DIR}/tests/windows/make_audio_cases.cpp)
    target_link_libraries(make-audio-cases PRIVATE morvanite_audio morvanite_mp3enc)
  endif()
endfunction()
cmake_language(DEFER CALL morvanite_audio_windows_cases)

# Whole-program runs: the sound output's failure boxes and exit codes on morvanite-render, and
# the real program's output through SDL's disk driver under a virtual X server.
function(morvanite_audio_program_tests)
  if(TARGET morvanite-render)
    set(render $<TARGET_FILE:morvanite-render>)
    set(box "message box \"Error!\":\n")
    add_test(NAME audio.InitFailureShowsItsBox COMMAND ${render} --fail BASS_Init=3)
    set_tests_properties(audio.InitFailureShowsItsBox PROPERTIES PASS_REGULAR_EXPRESSION
      "${box}No puedo inicializar el sistema de sonido\n\\(Codigo de error: 3\\)\n.*flips=0 .* boxes=1 exit=1")
    add_test(NAME audio.OldVersionShowsItsBox COMMAND ${render} --fail BASS_GetVersion=7)
    set_tests_properties(audio.OldVersionShowsItsBox PROPERTIES PASS_REGULAR_EXPRESSION
      "${box}BASS version 0.7 o superior no fue cargada\n\\(Codigo de error: 7\\)\n.*flips=0 .* boxes=1 exit=1")
    add_test(NAME audio.StreamFailureShowsItsBox COMMAND ${render} --fail BASS_StreamCreateFile)
    set_tests_properties(audio.StreamFailureShowsItsBox PROPERTIES PASS_REGULAR_EXPRESSION
      "${box}No puedo crear el stream\n\\(Codigo de error: 2\\)\n.*flips=0 .* boxes=1 exit=1")
    add_test(NAME audio.PlaybackFailureEndsWithoutABox COMMAND ${render} --fail BASS_StreamPlay)
    set_tests_properties(audio.PlaybackFailureEndsWithoutABox PROPERTIES PASS_REGULAR_EXPRESSION
      "flips=0 last_t=-?[0-9]+ boxes=0 exit=1")
    add_test(NAME audio.ShowRunsToTheEndOnTheMusicClock COMMAND ${render} --fps 25)
    set_tests_properties(audio.ShowRunsToTheEndOnTheMusicClock PROPERTIES PASS_REGULAR_EXPRESSION
      "flips=[0-9]+ last_t=1419 boxes=0 exit=0")
  endif()
  set(music ${CMAKE_SOURCE_DIR}/resources/122-music.mp3)
  find_program(MORVANITE_XVFB Xvfb)
  find_program(MORVANITE_XDOTOOL xdotool)
  find_program(MORVANITE_XDPYINFO xdpyinfo)
  if(TARGET morvanite AND EXISTS ${music} AND MORVANITE_XVFB AND MORVANITE_XDOTOOL
     AND MORVANITE_XDPYINFO)
    add_test(NAME audio.DiskDriverCapturesTheMusic
      COMMAND ${CMAKE_SOURCE_DIR}/tests/audio/disk_output.sh
        $<TARGET_FILE:morvanite> $<TARGET_FILE:audio-capture-check> ${music})
    # SDL's X11 video leaves system libraries' allocations (D-Bus and unloaded modules) behind at
    # exit; a sanitizer build would report them as the program's leaks.
    set_tests_properties(audio.DiskDriverCapturesTheMusic PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE
      ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
  endif()
endfunction()
cmake_language(DEFER CALL morvanite_audio_program_tests)
