# The music's fuzz target: any bytes through the audio library stand-in and the MPEG audio
# decoder. Only in a clang build configured with -DMORVANITE_FUZZ=ON (make fuzz), where
# MORVANITE_SANITIZE also instruments the libraries the target links (fuzzer-no-link).
if(MORVANITE_FUZZ)
  add_executable(morvanite-music-fuzz ${CMAKE_SOURCE_DIR}/tests/fuzz/music_fuzz.cpp)
  target_include_directories(morvanite-music-fuzz PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(morvanite-music-fuzz PRIVATE morvanite_platform)
  target_compile_options(morvanite-music-fuzz PRIVATE
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(morvanite-music-fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
endif()

# Writes the seed corpus of tests/fuzz/music (make fuzz-music-seeds); not part of the build.
add_executable(morvanite-music-seeds EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tests/fuzz/music_seeds.cpp)
target_link_libraries(morvanite-music-seeds PRIVATE morvanite_mp3enc)
