# GoogleTest: the system package natively, built from Debian's sources for
# the Windows cross build. Every test program is one CTest test; on Windows
# CTest starts it through Wine (CMAKE_CROSSCOMPILING_EMULATOR).
enable_testing()

if(WIN32)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # Defines GTest::gtest, GTest::gtest_main and GTest::gmock itself.
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()

# ztb_add_test(NAME SOURCES src... LIBS lib...)
function(ztb_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ztb_testkit GTest::gtest_main GTest::gtest)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
