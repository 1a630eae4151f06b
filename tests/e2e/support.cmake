# What the end-to-end test programs share: the start of the program up to its
# main window, its texts, and the screen picture of a failed test.
add_library(wm_e2e_support STATIC ${CMAKE_CURRENT_LIST_DIR}/e2e_support.cpp)
target_link_libraries(wm_e2e_support PUBLIC wm_test_driver wm_gtest)
# A path on the build machine; the code turns it into a Wine path (Z:\...).
target_compile_definitions(wm_e2e_support PRIVATE WM_PROGRAM="$<TARGET_FILE:wendmere>")
