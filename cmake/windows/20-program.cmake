# The program for Windows: the system's own code on the real Win32, DirectDraw 7 and GDI, the
# resources compiled from a script generated from resources/resources.list, and the audio library
# stand-in, the one piece of platform/ Windows lacks. A GUI program entered at WinMain.
include(${CMAKE_SOURCE_DIR}/cmake/resources.cmake)
morvanite_resource_script(MORVANITE_RESOURCE_SCRIPT)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(MORVANITE_WINDOWS_PROGRAM morvanite-win64)
else()
  set(MORVANITE_WINDOWS_PROGRAM morvanite-win32)
endif()
add_executable(${MORVANITE_WINDOWS_PROGRAM} WIN32 ${MORVANITE_RESOURCE_SCRIPT} ${MORVANITE_PROGRAM_OBJECTS})
target_link_libraries(${MORVANITE_WINDOWS_PROGRAM} PRIVATE
  morvanite_core_win morvanite_audio_windows morvanite_failures_win ddraw dxguid gdi32 user32)

# The resources in the finished program are exactly those of the list, by type and id.
find_program(MORVANITE_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
add_test(NAME windows.ResourcesMatchTheList
  COMMAND ${MORVANITE_SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tests/windows/resources_match.py
          $<TARGET_FILE:${MORVANITE_WINDOWS_PROGRAM}>
          ${CMAKE_SOURCE_DIR}/resources/resources.list)
