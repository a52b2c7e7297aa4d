# Host build: the engine against the simulated Windows platform, with unit tests and benchmarks.
find_package(GTest REQUIRED)
if(NOT KESTRIX_HOST32)
  find_package(benchmark REQUIRED)
endif()
find_package(Threads REQUIRED)
include(GoogleTest)

file(GLOB PLATFORM_SIM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/sim/*.cpp)
add_library(platform_sim STATIC ${PLATFORM_SIM_SOURCES})
target_include_directories(platform_sim PUBLIC ${CMAKE_SOURCE_DIR}/platform/include ${CMAKE_SOURCE_DIR}/platform)

add_library(tessel2_host STATIC ${ENGINE_SOURCES} ${GLIDE2_FRONT_SOURCES})
target_include_directories(tessel2_host PUBLIC ${KESTRIX_INCLUDE_DIRS})
target_link_libraries(tessel2_host PUBLIC platform_sim)

file(GLOB TESSEL2_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*.cpp)
add_executable(tessel2_tests ${TESSEL2_TEST_SOURCES})
target_include_directories(tessel2_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/host)
target_link_libraries(tessel2_tests PRIVATE tessel2_host GTest::gtest GTest::gtest_main Threads::Threads)
target_compile_definitions(tessel2_tests PRIVATE KESTRIX_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(tessel2_tests DISCOVERY_TIMEOUT 300 DISCOVERY_MODE PRE_TEST)

file(GLOB TESSEL2_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
if(TESSEL2_BENCH_SOURCES AND NOT KESTRIX_HOST32)
  add_executable(tessel2_bench ${TESSEL2_BENCH_SOURCES})
  target_link_libraries(tessel2_bench PRIVATE tessel2_host benchmark::benchmark Threads::Threads)
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/parity/CMakeLists.txt)
  add_subdirectory(tests/parity)
endif()
