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
