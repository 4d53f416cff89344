# The browser build (Emscripten): the stand-ins with the headless and the browser backends, the
# audio library's core with the browser's decoder and output, the resources compiled into the
# WebAssembly module, and the page: index.html (platform/web, copied), index.js and index.wasm.
# WinMain's loop runs as written; Asyncify lets it yield to the browser at each flip and wait.
# WebAssembly SIMD lets the compiler vectorise the effects' loops; its arithmetic is IEEE exact
# and has no fused multiply-add, so the frames stay those of the native build.
add_compile_options(-O3 -msimd128)

include(${CMAKE_SOURCE_DIR}/cmake/resources.cmake)
morvanite_embedded_resources(MORVANITE_RESOURCE_SOURCES)
include(${CMAKE_SOURCE_DIR}/cmake/audio-core.cmake)

file(GLOB MORVANITE_PLATFORM_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/platform/*.cpp
  ${CMAKE_SOURCE_DIR}/platform/headless/*.cpp)
# Pictures of frames go onto the page (platform/web) instead of into PNG files.
list(REMOVE_ITEM MORVANITE_PLATFORM_SOURCES ${CMAKE_SOURCE_DIR}/platform/frame_png.cpp)
add_library(morvanite_platform STATIC
  ${MORVANITE_PLATFORM_SOURCES}
  ${MORVANITE_AUDIO_CORE_SOURCES}
  ${CMAKE_SOURCE_DIR}/platform/audio/mpeg_frames.cpp
  ${CMAKE_SOURCE_DIR}/platform/web/audio_decode.cpp
  ${CMAKE_SOURCE_DIR}/platform/web/audio_output.cpp
  ${CMAKE_SOURCE_DIR}/platform/web/backend.cpp
  ${CMAKE_SOURCE_DIR}/platform/web/check_mode.cpp
  ${MORVANITE_RESOURCE_SOURCES})
target_include_directories(morvanite_platform
  PUBLIC ${CMAKE_SOURCE_DIR}/platform/include ${CMAKE_SOURCE_DIR}/platform/bass
  PRIVATE ${CMAKE_SOURCE_DIR})

set(MORVANITE_WEB_DIR ${CMAKE_SOURCE_DIR}/platform/web)
add_executable(morvanite-web
  ${MORVANITE_WEB_DIR}/main.cpp
  ${CMAKE_SOURCE_DIR}/platform/programs/active_part.cpp)
target_include_directories(morvanite-web PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(morvanite-web PRIVATE morvanite_core morvanite_platform)
set_target_properties(morvanite-web PROPERTIES OUTPUT_NAME index SUFFIX .js
  LINK_DEPENDS ${MORVANITE_WEB_DIR}/page.js)
target_link_options(morvanite-web PRIVATE
  -O3 -msimd128
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
  # Windows never puts data in the lowest 64 KiB, and resource calls take any value below as
  # a number (MAKEINTRESOURCE): the program's data must start above it here too.
  -sGLOBAL_BASE=65536
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864
  -sENVIRONMENT=web
  --pre-js ${MORVANITE_WEB_DIR}/page.js)
add_custom_command(TARGET morvanite-web POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${MORVANITE_WEB_DIR}/index.html
          ${CMAKE_CURRENT_BINARY_DIR}/index.html)
