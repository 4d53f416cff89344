# morvanite-tga: inspects a TGA file through the program's own resource loader.
find_package(PNG REQUIRED)
add_executable(morvanite-tga ${CMAKE_SOURCE_DIR}/tools/tga/main.cpp)
target_link_libraries(morvanite-tga PRIVATE morvanite_core morvanite_platform PNG::PNG)

# Files written by Pillow, an independent encoder and decoder, must load with the pixels it sees.
# Debian's own interpreter, the one python3-pil installs into.
find_program(MORVANITE_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(MORVANITE_SYSTEM_PYTHON)
  add_test(NAME tga_pillow_files
    COMMAND ${MORVANITE_SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tests/tga/pillow_files.py
            $<TARGET_FILE:morvanite-tga> ${CMAKE_CURRENT_BINARY_DIR}/tga-pillow)
endif()

# The loader's fuzz target: only in a clang build configured with -DMORVANITE_FUZZ=ON (make fuzz).
option(MORVANITE_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(MORVANITE_FUZZ)
  add_executable(morvanite-tga-fuzz
    ${CMAKE_SOURCE_DIR}/tests/fuzz/tga_fuzz.cpp
    ${CMAKE_SOURCE_DIR}/image/tga.cpp
    ${CMAKE_SOURCE_DIR}/image/image.cpp
    ${CMAKE_SOURCE_DIR}/image/blit_sprite.cpp
    ${CMAKE_SOURCE_DIR}/image/morph_points.cpp
    ${CMAKE_SOURCE_DIR}/image/numeric.cpp
    ${CMAKE_SOURCE_DIR}/image/trace.cpp
    ${CMAKE_SOURCE_DIR}/video/pixel_layout.cpp
    ${CMAKE_SOURCE_DIR}/platform/heap.cpp
    ${CMAKE_SOURCE_DIR}/platform/failures.cpp)
  target_include_directories(morvanite-tga-fuzz PRIVATE
    ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/platform/include
    ${CMAKE_SOURCE_DIR}/platform/bass)
  target_compile_options(morvanite-tga-fuzz PRIVATE
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(morvanite-tga-fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
endif()
