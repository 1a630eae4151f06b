# The page view and the download hand-off, driven from outside through
# wm_test_driver, with a loopback server standing in for the web.
wm_add_gtest(e2e_browser
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/browser_test.cpp
  LIBS wm_e2e_support wm_test_driver wm_test_http advapi32
  TIMEOUT 300
  LABELS e2e)

# A copy of the program under a name of its own, for the run without the
# WebBrowser control: Wine reads DLL overrides per program name from the
# registry, and this name is used by no other test. (WINEDLLOVERRIDES in the
# environment block of CreateProcess does not reach a program Wine starts.)
set(browserless_program ${CMAKE_CURRENT_BINARY_DIR}/browser_unavailable/wendmere_browserless.exe)
add_custom_command(OUTPUT ${browserless_program}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:wendmere> ${browserless_program}
  DEPENDS wendmere
  COMMENT "Copying wendmere.exe for the run without the browser control")
add_custom_target(e2e_browser_browserless_copy DEPENDS ${browserless_program})

# A path on the build machine; the test turns it into a Wine path (Z:\...).
target_compile_definitions(e2e_browser PRIVATE WM_BROWSERLESS_PROGRAM="${browserless_program}")
add_dependencies(e2e_browser wendmere e2e_browser_browserless_copy)
