# Host build: the libraries on the simulated Windows, with unit tests and benchmarks.
find_package(GTest REQUIRED)
if(NOT KESTRIX_HOST32)
  find_package(benchmark REQUIRED)
endif()
find_package(Threads REQUIRED)
include(GoogleTest)

# The trace player, shared by the host tests, the replay command and kestrixreplay.exe.
add_library(kestrix_replay STATIC ${CMAKE_SOURCE_DIR}/replay/trace_player.cpp)
target_include_directories(kestrix_replay PUBLIC ${CMAKE_SOURCE_DIR}/replay)
target_link_libraries(kestrix_replay PUBLIC kestrix_engine)

# kestrix_replay2 and kestrix_replay3 TRACE [--out DIR]: a trace played on the simulation, a digest line per
# frame, and with --out the frames drawn by the simulation's rasteriser as PNG files.
foreach(version 2 3)
  add_executable(kestrix_replay${version} ${CMAKE_SOURCE_DIR}/replay/host_replay${version}.cpp
                 ${CMAKE_SOURCE_DIR}/replay/host_replay.cpp ${CMAKE_SOURCE_DIR}/replay/glide${version}_linked_entries.cpp
                 ${CMAKE_SOURCE_DIR}/replay/png_writer.cpp)
  target_link_libraries(kestrix_replay${version} PRIVATE tessel${version}_front kestrix_replay)
endforeach()

# One test executable per library: two front ends export the same C names and cannot link together.
# The engine behaviour both libraries share (tests/shared) is built into both, each with its library's adapter.
file(GLOB SHARED_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/shared/*.cpp)
file(GLOB TESSEL2_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*.cpp)
add_executable(tessel2_tests ${TESSEL2_TEST_SOURCES} ${SHARED_TEST_SOURCES})
target_include_directories(tessel2_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/host ${CMAKE_SOURCE_DIR}/tests/shared)
target_link_libraries(tessel2_tests PRIVATE tessel2_front kestrix_replay GTest::gtest GTest::gtest_main Threads::Threads)
target_sources(tessel2_tests PRIVATE ${CMAKE_SOURCE_DIR}/replay/glide2_linked_entries.cpp)
target_compile_definitions(tessel2_tests PRIVATE KESTRIX_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(tessel2_tests DISCOVERY_TIMEOUT 300 DISCOVERY_MODE PRE_TEST)

file(GLOB TESSEL3_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host3/*.cpp)
add_executable(tessel3_tests ${TESSEL3_TEST_SOURCES} ${SHARED_TEST_SOURCES})
target_include_directories(tessel3_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/host3 ${CMAKE_SOURCE_DIR}/tests/host
                                                 ${CMAKE_SOURCE_DIR}/tests/shared)
target_link_libraries(tessel3_tests PRIVATE tessel3_front kestrix_replay GTest::gtest GTest::gtest_main Threads::Threads)
target_sources(tessel3_tests PRIVATE ${CMAKE_SOURCE_DIR}/replay/glide3_linked_entries.cpp)
target_compile_definitions(tessel3_tests PRIVATE KESTRIX_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(tessel3_tests DISCOVERY_TIMEOUT 300 DISCOVERY_MODE PRE_TEST)

file(GLOB TESSEL2_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
if(NOT KESTRIX_HOST32)
  add_executable(tessel2_bench ${TESSEL2_BENCH_SOURCES})
  target_link_libraries(tessel2_bench PRIVATE tessel2_front benchmark::benchmark Threads::Threads)
  file(GLOB TESSEL3_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/tessel3/*.cpp)
  add_executable(tessel3_bench ${TESSEL3_BENCH_SOURCES})
  target_link_libraries(tessel3_bench PRIVATE tessel3_front benchmark::benchmark Threads::Threads)
endif()

add_subdirectory(tests/parity)

# The engine's layers and the front ends' interface (engine/layers.txt), and the check's own test.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME engine_layers COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/layers/check_layers.py
                                    ${CMAKE_SOURCE_DIR})
add_test(NAME engine_layers_selftest COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/layers/check_layers_test.py)
