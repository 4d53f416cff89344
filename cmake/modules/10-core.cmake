# The system's own code: runtime, video, image buffers and the effects. It sees only the Windows
# names of platform/include, never SDL or the backends.
file(GLOB MORVANITE_CORE_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/runtime/*.cpp
  ${CMAKE_SOURCE_DIR}/video/*.cpp
  ${CMAKE_SOURCE_DIR}/image/*.cpp
  ${CMAKE_SOURCE_DIR}/parts/*.cpp)
add_library(morvanite_core STATIC ${MORVANITE_CORE_SOURCES})
target_include_directories(morvanite_core PUBLIC
  ${CMAKE_SOURCE_DIR}
  ${CMAKE_SOURCE_DIR}/platform/include
  ${CMAKE_SOURCE_DIR}/platform/bass)
target_link_libraries(morvanite_core PUBLIC morvanite_platform)
