# The page fetcher, on WinINet (Windows only).
add_library(wm_fetch STATIC ${CMAKE_CURRENT_LIST_DIR}/page_fetch.cpp)
target_link_libraries(wm_fetch PUBLIC wm_lookup wininet)
