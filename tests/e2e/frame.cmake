# The frame and the main window, driven from outside through wm_test_driver.
add_executable(e2e_fatal_probe WIN32 ${CMAKE_CURRENT_LIST_DIR}/fatal_probe.cpp)
target_link_libraries(e2e_fatal_probe PRIVATE wm_app)

wm_add_gtest(e2e_frame
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/frame_test.cpp
  LIBS wm_e2e_support wm_test_driver
  TIMEOUT 300
  LABELS e2e)
# A path on the build machine; the test turns it into a Wine path (Z:\...).
target_compile_definitions(e2e_frame PRIVATE WM_FATAL_PROBE="$<TARGET_FILE:e2e_fatal_probe>")
add_dependencies(e2e_frame wendmere e2e_fatal_probe)
