# The fault matrix: one run of morvanite-render per row of tests/programs/fault_matrix.py, each
# a test of its own (fault-<case>, label fault-matrix), after the clean run they compare with
# (fault-reference). `make soak` runs the seeded soak over the same checks (mk/soak.mk).
find_program(MORVANITE_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(MORVANITE_SYSTEM_PYTHON AND TARGET morvanite-render)
  set(matrix ${CMAKE_SOURCE_DIR}/tests/programs/fault_matrix.py)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${matrix})
  execute_process(COMMAND ${MORVANITE_SYSTEM_PYTHON} ${matrix} list
    OUTPUT_VARIABLE matrix_cases RESULT_VARIABLE matrix_listed OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT matrix_listed EQUAL 0)
    message(FATAL_ERROR "fault_matrix.py list failed")
  endif()
  string(REPLACE "\n" ";" matrix_cases "${matrix_cases}")
  foreach(case IN LISTS matrix_cases)
    add_test(NAME fault-${case}
      COMMAND ${MORVANITE_SYSTEM_PYTHON} ${matrix} run ${case} $<TARGET_FILE:morvanite-render>
              ${CMAKE_BINARY_DIR}/fault-matrix)
    set_tests_properties(fault-${case} PROPERTIES LABELS fault-matrix TIMEOUT 600)
    if(case STREQUAL "reference")
      set_tests_properties(fault-${case} PROPERTIES FIXTURES_SETUP fault-reference)
    else()
      set_tests_properties(fault-${case} PROPERTIES FIXTURES_REQUIRED fault-reference)
    endif()
  endforeach()
endif()
