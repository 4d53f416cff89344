# Unit tests: one GoogleTest binary over tests/unit/*.cpp, linked with the core and the platform
# (headless backend).
find_package(GTest REQUIRED)
include(GoogleTest)
file(GLOB MORVANITE_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
if(MORVANITE_UNIT_TESTS)
  add_executable(morvanite-tests ${MORVANITE_UNIT_TESTS})
  target_link_libraries(morvanite-tests PRIVATE morvanite_core morvanite_platform GTest::gtest GTest::gtest_main)
  target_include_directories(morvanite-tests PRIVATE ${CMAKE_SOURCE_DIR})
  gtest_discover_tests(morvanite-tests DISCOVERY_TIMEOUT 60)
endif()
