# Video capture for morvanite-render (platform/capture): FFmpeg's libraries where the build has
# them (always on Linux), elsewhere a stand-in that refuses --video and --wav in one line.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(morvanite_capture_default ON)
else()
  set(morvanite_capture_default OFF)
endif()
option(MORVANITE_VIDEO_CAPTURE "morvanite-render writes videos through FFmpeg's libraries"
       ${morvanite_capture_default})

set(MORVANITE_CAPTURE_DIR ${CMAKE_SOURCE_DIR}/platform/capture)
if(MORVANITE_VIDEO_CAPTURE)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(MORVANITE_FFMPEG REQUIRED IMPORTED_TARGET
    libavformat libavcodec libavutil libswscale libswresample)
  add_library(morvanite_capture STATIC
    ${MORVANITE_CAPTURE_DIR}/ffmpeg_capture.cpp
    ${MORVANITE_CAPTURE_DIR}/progress.cpp)
  find_package(Threads REQUIRED)
  target_link_libraries(morvanite_capture
    PRIVATE PkgConfig::MORVANITE_FFMPEG morvanite_platform Threads::Threads)
else()
  add_library(morvanite_capture STATIC ${MORVANITE_CAPTURE_DIR}/no_capture.cpp)
endif()
target_include_directories(morvanite_capture PRIVATE ${CMAKE_SOURCE_DIR})

if(TARGET morvanite-render)
  target_link_libraries(morvanite-render PRIVATE morvanite_capture)
endif()

# The renderer without capture, for the memcheck runs (mk/valgrind.mk): valgrind 3.19 stops with
# an illegal instruction in the processor probes of a library that FFmpeg's codecs pull in
# (libhwy, through libjxl) before main runs. The show is the same program either way.
if(TARGET morvanite-render)
  add_executable(morvanite-render-nocapture
    ${CMAKE_SOURCE_DIR}/platform/programs/morvanite_render.cpp
    ${MORVANITE_CAPTURE_DIR}/no_capture.cpp)
  target_include_directories(morvanite-render-nocapture PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(morvanite-render-nocapture PRIVATE morvanite_core morvanite_platform)
endif()

# Short clips checked with FFmpeg's programs (ffprobe, ffmpeg) and Pillow.
find_program(MORVANITE_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_program(MORVANITE_FFMPEG_PROGRAM ffmpeg)
find_program(MORVANITE_FFPROBE_PROGRAM ffprobe)
if(MORVANITE_VIDEO_CAPTURE AND TARGET morvanite-render AND TARGET audio-capture-check
   AND MORVANITE_SYSTEM_PYTHON AND MORVANITE_FFMPEG_PROGRAM AND MORVANITE_FFPROBE_PROGRAM)
  foreach(case lossless h264 soundtrack refusals interrupted)
    add_test(NAME capture.${case}
      COMMAND ${MORVANITE_SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tests/programs/capture_test.py
              ${case} $<TARGET_FILE:morvanite-render> ${CMAKE_BINARY_DIR}/capture-runs/${case}
              $<TARGET_FILE:audio-capture-check> ${CMAKE_SOURCE_DIR}/resources/122-music.mp3)
    set_tests_properties(capture.${case} PROPERTIES TIMEOUT 600)
  endforeach()
endif()
