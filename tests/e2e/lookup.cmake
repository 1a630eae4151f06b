# The address lookup driven from outside: the real program against scripted
# loopback HTTP servers.
wm_add_gtest(e2e_lookup
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/lookup_test.cpp
  LIBS wm_e2e_support wm_test_driver wm_test_http
  TIMEOUT 300
  LABELS e2e)
add_dependencies(e2e_lookup wendmere)

# The lookup that every start runs on the sample song page. The sample host
# must reach a server of the test, so the test program runs in a mount
# namespace of its own (it needs root) where /etc/hosts names the sample host
# 127.0.0.1; the program started under Wine inherits it, and resolves names in
# its own process. Sockets, though, are made by the wineserver, outside: the
# server listens on the machine's port 80 (the test waits its turn for it).
if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
  add_executable(e2e_startup ${CMAKE_CURRENT_LIST_DIR}/startup_test.cpp)
  target_link_libraries(e2e_startup PRIVATE wm_e2e_support wm_test_driver wm_test_http wm_gtest_main)
  add_dependencies(e2e_startup wendmere)

  set(startup_hosts ${CMAKE_CURRENT_BINARY_DIR}/startup-hosts)
  file(WRITE ${startup_hosts} "127.0.0.1 localhost\n127.0.0.1 www.orrindale.example\n")
  add_test(NAME e2e_startup
    COMMAND unshare --mount sh -c
      "mount --bind \"$1\" /etc/hosts && exec \"$2\" \"$3\" --gtest_color=no"
      e2e_startup ${startup_hosts} ${CMAKE_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:e2e_startup>)
  set_tests_properties(e2e_startup PROPERTIES TIMEOUT 300 LABELS e2e)
endif()
