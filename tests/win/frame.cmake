# The frame's pieces that can be tried inside one process.
wm_add_gtest(win_frame
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/frame_test.cpp
  LIBS wm_app)
