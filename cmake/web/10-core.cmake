# The system's own code, the same as for the native build.
include(${CMAKE_SOURCE_DIR}/cmake/modules/10-core.cmake)
