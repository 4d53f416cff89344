# Whole-show checks of the first four effects: phases by local time and repeatable frames, from
# the per-flip hashes of morvanite-render at two frame rates.
find_program(MORVANITE_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(MORVANITE_SYSTEM_PYTHON AND TARGET morvanite-render)
  foreach(fps 60 23)
    add_test(NAME first_parts_show_${fps}fps
      COMMAND ${MORVANITE_SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tests/programs/first_parts_show.py
              $<TARGET_FILE:morvanite-render> ${CMAKE_CURRENT_BINARY_DIR}/first-parts-${fps} ${fps})
  endforeach()
endif()
