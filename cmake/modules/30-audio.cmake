# The audio library stand-in (the BASS_* calls of platform/include/bass.h): libmpg123 decoding,
# SDL2 output. The platform library carries it to the programs and tests.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MORVANITE_AUDIO_MPG123 REQUIRED IMPORTED_TARGET libmpg123)
pkg_check_modules(MORVANITE_AUDIO_SDL2 REQUIRED IMPORTED_TARGET sdl2)

file(GLOB MORVANITE_AUDIO_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/audio/*.cpp)
add_library(morvanite_audio STATIC ${MORVANITE_AUDIO_SOURCES})
target_include_directories(morvanite_audio PUBLIC
  ${CMAKE_SOURCE_DIR}
  ${CMAKE_SOURCE_DIR}/platform/include)
target_link_libraries(morvanite_audio PRIVATE PkgConfig::MORVANITE_AUDIO_MPG123 PkgConfig::MORVANITE_AUDIO_SDL2)

if(TARGET morvanite_platform)
  target_link_libraries(morvanite_platform PUBLIC morvanite_audio)
  # The headless clock and the failure injection live in the platform library.
  target_link_libraries(morvanite_audio PRIVATE morvanite_platform)
else()
  # No platform library in this tree yet: a placeholder that carries the audio library, so that
  # the targets naming it link.
  add_library(morvanite_platform INTERFACE)
  target_link_libraries(morvanite_platform INTERFACE morvanite_audio)
endif()

# The audio tests (tests/unit/audio_*.cpp, in the unit test binary) make their MP3s with the
# music encoder library, defined by a later fragment.
function(morvanite_audio_link_tests)
  if(TARGET morvanite-tests AND TARGET morvanite_mp3enc)
    target_link_libraries(morvanite-tests PRIVATE morvanite_mp3enc)
    target_compile_definitions(morvanite-tests PRIVATE MORVANITE_AUDIO_HAVE_MP3ENC=1)
  endif()
  if(TARGET morvanite-tests)
    target_link_libraries(morvanite-tests PRIVATE PkgConfig::MORVANITE_AUDIO_SDL2)
  endif()
endfunction()
cmake_language(DEFER CALL morvanite_audio_link_tests)
