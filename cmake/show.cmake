# morvanite_show_library(NAME SOURCES...): a library of the show (image/, video/, parts/,
# runtime/), compiled against the Windows names only: the stand-ins' headers, or on a real
# Windows build the system's. The 32-bit Windows build computes on the x87 unit as the original
# did: every float variable rounded where it is stored (-ffloat-store).
function(morvanite_show_library name)
  add_library(${name} STATIC ${ARGN})
  if(MORVANITE_REAL_WINDOWS)
    target_link_libraries(${name} PUBLIC morvanite_winapi_headers morvanite_bass
      ddraw dxguid gdi32 user32)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      target_compile_options(${name} PRIVATE -ffloat-store)
    endif()
  else()
    target_link_libraries(${name} PUBLIC morvanite_winapi)
  endif()
endfunction()
