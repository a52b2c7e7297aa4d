# The host suite as 32-bit programs (host32 preset), read at the first project() call. Debian ships
# GoogleTest as 64-bit libraries and as source: find_package(GTest) builds the source for 32 bits.
# There is no 32-bit Google Benchmark, so the benchmarks are left out.
set(KESTRIX_HOST32 ON)

function(kestrix_host32_build_gtest)
  set(BUILD_GMOCK OFF)
  set(INSTALL_GTEST OFF)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endfunction()

macro(kestrix_host32_find_package method package)
  if("${package}" STREQUAL "GTest")
    if(NOT TARGET GTest::gtest)
      kestrix_host32_build_gtest()
    endif()
    set(GTest_FOUND TRUE)
  endif()
endmacro()

cmake_language(SET_DEPENDENCY_PROVIDER kestrix_host32_find_package SUPPORTED_METHODS FIND_PACKAGE)
