# The system's own code (runtime, video, image, parts) against the real Windows headers: the
# include path has the source tree and the audio library's header, nothing of platform/include.
file(GLOB MORVANITE_CORE_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/runtime/*.cpp
  ${CMAKE_SOURCE_DIR}/video/*.cpp
  ${CMAKE_SOURCE_DIR}/image/*.cpp
  ${CMAKE_SOURCE_DIR}/parts/*.cpp)
# Object files, so that the program takes WinMain from them: nothing else refers to it.
add_library(morvanite_core_win OBJECT ${MORVANITE_CORE_SOURCES})
target_include_directories(morvanite_core_win PUBLIC
  ${CMAKE_SOURCE_DIR}
  ${CMAKE_SOURCE_DIR}/platform/bass)
# Self-contained executables: the C and C++ runtimes (and the thread library) linked in, and no
# symbols.
add_link_options(-static -static-libgcc -static-libstdc++ -s)

# The 32-bit program computes on the x87 unit as the original did: 53-bit precision (Windows'
# own default, which msvcrt's _fpreset sets when CRT_fp8.o is linked; mingw's default is 64-bit),
# and every float variable rounded where it is stored.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  target_compile_options(morvanite_core_win PRIVATE -ffloat-store)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=CRT_fp8.o
    OUTPUT_VARIABLE crt_fp8 OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${crt_fp8}" OR NOT EXISTS "${crt_fp8}")
    message(FATAL_ERROR "mingw-w64 has no CRT_fp8.o")
  endif()
  set(MORVANITE_PROGRAM_OBJECTS ${crt_fp8})
endif()
