# The music generator (tools/music) that writes resources/122-music.mp3, and the MP3 encoder
# library with the stream's fixed settings, which tests use to make small streams.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MORVANITE_LAME REQUIRED IMPORTED_TARGET lame)
pkg_check_modules(MORVANITE_MPG123 REQUIRED IMPORTED_TARGET libmpg123)
find_package(GTest REQUIRED)
include(GoogleTest)

add_library(morvanite_mp3enc STATIC ${CMAKE_SOURCE_DIR}/tools/music/mp3_encode.cpp)
target_include_directories(morvanite_mp3enc PUBLIC ${CMAKE_SOURCE_DIR}/tools/music)
target_link_libraries(morvanite_mp3enc PUBLIC PkgConfig::MORVANITE_LAME)

add_library(morvanite_music_synth STATIC
  ${CMAKE_SOURCE_DIR}/tools/music/synth.cpp
  ${CMAKE_SOURCE_DIR}/tools/music/piece.cpp)
target_include_directories(morvanite_music_synth PUBLIC ${CMAKE_SOURCE_DIR}/tools/music)

add_executable(make_music ${CMAKE_SOURCE_DIR}/tools/music/make_music.cpp)
target_link_libraries(make_music PRIVATE morvanite_music_synth morvanite_mp3enc)

set(MORVANITE_MUSIC_FILE ${CMAKE_SOURCE_DIR}/resources/122-music.mp3)

add_executable(morvanite-music-tests ${CMAKE_SOURCE_DIR}/tools/music/tests/music_test.cpp)
target_link_libraries(morvanite-music-tests PRIVATE
  morvanite_mp3enc morvanite_music_synth PkgConfig::MORVANITE_MPG123 GTest::gtest GTest::gtest_main)
target_compile_definitions(morvanite-music-tests PRIVATE
  MORVANITE_MUSIC_FILE="${MORVANITE_MUSIC_FILE}")
gtest_discover_tests(morvanite-music-tests DISCOVERY_TIMEOUT 60)

# The committed music must come out of the generator byte for byte.
add_test(NAME music.RebuildMatchesCommitted
  COMMAND sh -c "\"$1\" \"$2\" > /dev/null && cmp \"$2\" \"$3\""
    sh $<TARGET_FILE:make_music> ${CMAKE_BINARY_DIR}/122-music.mp3 ${MORVANITE_MUSIC_FILE})
set_tests_properties(music.RebuildMatchesCommitted PROPERTIES TIMEOUT 120)
