# The scripted loopback HTTP server of the Windows tests.
add_library(wm_test_http STATIC ${CMAKE_CURRENT_LIST_DIR}/http_server.cpp)
target_include_directories(wm_test_http PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(wm_test_http PUBLIC ws2_32)
