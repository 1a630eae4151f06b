# GoogleTest for both builds: Debian's package natively, its sources built with
# the cross compiler for Windows (the tests then run under Wine through
# CMAKE_CROSSCOMPILING_EMULATOR).
include(CTest)
if(CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest's own strings are not GBK (libstdc++'s <chrono> has a "\u00b5s"
  # that GBK cannot hold), so it keeps the compiler's UTF-8 execution charset.
  target_compile_options(gtest PRIVATE -fexec-charset=UTF-8)
  target_compile_options(gtest_main PRIVATE -fexec-charset=UTF-8)
  add_library(wm_gtest ALIAS gtest)
  add_library(wm_gtest_main ALIAS gtest_main)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  add_library(wm_gtest ALIAS GTest::gtest)
  add_library(wm_gtest_main ALIAS GTest::gtest_main)
endif()

# wm_add_gtest(<name> SOURCES ... [LIBS ...] [TIMEOUT seconds] [LABELS ...])
# One CTest entry per test program under Wine (each Wine start costs time);
# natively every test case is its own CTest entry.
function(wm_add_gtest name)
  cmake_parse_arguments(A "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 120)
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} wm_gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT} LABELS "${A_LABELS}")
  else()
    gtest_discover_tests(${name} PROPERTIES TIMEOUT ${A_TIMEOUT} LABELS "${A_LABELS}")
  endif()
endfunction()
