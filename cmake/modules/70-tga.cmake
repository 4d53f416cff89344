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
