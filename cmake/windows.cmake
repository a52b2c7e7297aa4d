# Windows builds: the deliverables (win32) and the libraries for the Wine tests (win64).
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_test(NAME tessel2_exports
           COMMAND ${CMAKE_SOURCE_DIR}/tests/exports/check_exports.sh $<TARGET_FILE:tessel2>
                   ${CMAKE_SOURCE_DIR}/include/glide2x.h 124)
  add_test(NAME tessel3_exports
           COMMAND ${CMAKE_SOURCE_DIR}/tests/exports/check_exports.sh $<TARGET_FILE:tessel3>
                   ${CMAKE_SOURCE_DIR}/include/glide3x.h 91)
else()
  add_subdirectory(tests/wine)
  add_subdirectory(tests/parity)
  add_subdirectory(bench/wine)
endif()

# kestrixreplay.exe: plays a recorded trace into a Glide library loaded at run time.
add_executable(kestrixreplay ${CMAKE_SOURCE_DIR}/replay/kestrixreplay.cpp ${CMAKE_SOURCE_DIR}/replay/trace_player.cpp
               ${CMAKE_SOURCE_DIR}/replay/png_writer.cpp ${CMAKE_SOURCE_DIR}/replay/glide2_loaded_entries.cpp
               ${CMAKE_SOURCE_DIR}/replay/glide3_loaded_entries.cpp ${CMAKE_SOURCE_DIR}/engine/trace/trace_reader.cpp)
target_include_directories(kestrixreplay PRIVATE ${CMAKE_SOURCE_DIR}/replay ${CMAKE_SOURCE_DIR}/engine
                                                 ${CMAKE_SOURCE_DIR}/include)
target_link_libraries(kestrixreplay PRIVATE user32 gdi32 kernel32 ${KESTRIX_STATIC_RUNTIME})
