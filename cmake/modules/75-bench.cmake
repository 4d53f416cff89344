# morvanite-bench: one Google Benchmark program over bench/*.cpp (make bench runs it in a release
# build). Peers measured against, such as pixman, are linked here only.
file(GLOB MORVANITE_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
if(MORVANITE_BENCH_SOURCES)
  find_package(benchmark REQUIRED)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
  add_executable(morvanite-bench ${MORVANITE_BENCH_SOURCES})
  target_link_libraries(morvanite-bench PRIVATE
    morvanite_core morvanite_platform benchmark::benchmark PkgConfig::PIXMAN)
endif()
