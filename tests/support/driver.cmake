# The end-to-end driver: starts a program and works it through Win32 calls only.
add_library(wm_test_driver STATIC ${CMAKE_CURRENT_LIST_DIR}/driver.cpp)
target_include_directories(wm_test_driver PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(wm_test_driver PUBLIC user32 gdi32)
