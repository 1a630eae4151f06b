# The page fetch against scripted loopback servers.
wm_add_gtest(win_fetch
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fetch_test.cpp
  LIBS wm_fetch wm_test_http)

# The https case needs a TLS server with a self-signed certificate: a fixture
# starts one on a free port before win_fetch and stops it afterwards (it also
# ends by itself after a while). Without python3 or openssl the case skips.
find_program(WM_PYTHON3 python3)
find_program(WM_OPENSSL openssl)
if(CMAKE_CROSSCOMPILING AND WM_PYTHON3 AND WM_OPENSSL)
  set(tls_dir ${CMAKE_CURRENT_BINARY_DIR}/fetch-tls)
  set(tls_server ${CMAKE_SOURCE_DIR}/tests/support/tls_server.py)
  add_test(NAME win_fetch_tls_start COMMAND ${WM_PYTHON3} ${tls_server} start ${tls_dir})
  add_test(NAME win_fetch_tls_stop COMMAND ${WM_PYTHON3} ${tls_server} stop ${tls_dir})
  set_tests_properties(win_fetch_tls_start PROPERTIES FIXTURES_SETUP win_fetch_tls TIMEOUT 60)
  set_tests_properties(win_fetch_tls_stop PROPERTIES FIXTURES_CLEANUP win_fetch_tls TIMEOUT 60)
  # Wine shows the machine's root directory as drive Z:.
  set_tests_properties(win_fetch PROPERTIES FIXTURES_REQUIRED win_fetch_tls
    ENVIRONMENT "WM_TLS_SERVER_DIR=Z:${tls_dir}")
endif()

# Not a test: a program that prints the fetch's time and peak memory for large
# bodies (run it under scripts/wine-run).
add_executable(fetch_bench ${CMAKE_CURRENT_LIST_DIR}/fetch_bench.cpp)
target_link_libraries(fetch_bench PRIVATE wm_fetch wm_test_http psapi)
