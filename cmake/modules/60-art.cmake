# The artwork generator (tools/art): draws the pictures and the icon of resources/, and the
# tools and tests around it.
find_package(PkgConfig REQUIRED)
find_package(OpenMP REQUIRED COMPONENTS CXX)
pkg_check_modules(ART_FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(ART_IMAGEQUANT REQUIRED IMPORTED_TARGET imagequant)
pkg_check_modules(ART_PNG REQUIRED IMPORTED_TARGET libpng)

set(ART_DIR ${CMAKE_SOURCE_DIR}/tools/art)

# Drawing: shapes, noise, lettering, palettes and the file encoders.
add_library(morvanite-art-draw STATIC
  ${ART_DIR}/canvas.cpp
  ${ART_DIR}/noise.cpp
  ${ART_DIR}/text.cpp
  ${ART_DIR}/quantize.cpp
  ${ART_DIR}/tga_write.cpp
  ${ART_DIR}/ico_write.cpp
  ${ART_DIR}/png_write.cpp
  ${ART_DIR}/style.cpp)
target_include_directories(morvanite-art-draw PUBLIC ${ART_DIR})
target_link_libraries(morvanite-art-draw PUBLIC PkgConfig::ART_FREETYPE PkgConfig::ART_IMAGEQUANT
  PkgConfig::ART_PNG)

# Reading the files back, for the contact sheet and the tests.
add_library(morvanite-art-read STATIC ${ART_DIR}/tga_read.cpp ${ART_DIR}/ico_read.cpp)
target_include_directories(morvanite-art-read PUBLIC ${ART_DIR})

add_executable(morvanite-art-gen
  ${ART_DIR}/main.cpp
  ${ART_DIR}/pictures.cpp
  ${ART_DIR}/pictures_lettering.cpp
  ${ART_DIR}/pictures_scenes.cpp
  ${ART_DIR}/pictures_textures.cpp
  ${ART_DIR}/pictures_figures.cpp)
target_link_libraries(morvanite-art-gen PRIVATE morvanite-art-draw OpenMP::OpenMP_CXX)

add_executable(morvanite-art-sheet ${ART_DIR}/contact_sheet.cpp)
target_link_libraries(morvanite-art-sheet PRIVATE morvanite-art-draw morvanite-art-read
  PkgConfig::ART_PNG)

# The committed files must be exactly what the generator draws.
add_test(NAME art.regenerates-byte-for-byte
  COMMAND ${CMAKE_COMMAND}
    -DGENERATOR=$<TARGET_FILE:morvanite-art-gen>
    -DOUTPUT=${CMAKE_BINARY_DIR}/art-regenerated
    -DRESOURCES=${CMAKE_SOURCE_DIR}/resources
    -P ${CMAKE_SOURCE_DIR}/cmake/art-compare.cmake)

find_package(GTest REQUIRED)
add_executable(morvanite-art-tests
  ${ART_DIR}/tests/draw_test.cpp
  ${ART_DIR}/tests/tga_write_test.cpp
  ${ART_DIR}/tests/resources_test.cpp)
target_link_libraries(morvanite-art-tests PRIVATE morvanite-art-draw morvanite-art-read
  GTest::gtest_main)
target_compile_definitions(morvanite-art-tests PRIVATE
  MORVANITE_RESOURCES="${CMAKE_SOURCE_DIR}/resources")
include(GoogleTest)
gtest_discover_tests(morvanite-art-tests TEST_PREFIX art.)
