# Windows builds: the deliverables (win32) and the engine for Wine tests (win64).
set(KESTRIX_WIN_LIBS ddraw dxguid user32 gdi32 advapi32 kernel32)
set(KESTRIX_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(TESSEL2_DEF ${CMAKE_SOURCE_DIR}/tessel2/tessel2.def)
else()
  # 64-bit Windows has no stdcall decoration: export the plain names.
  file(STRINGS ${CMAKE_SOURCE_DIR}/tessel2/tessel2.def DEF_LINES)
  set(DEF_TEXT "")
  foreach(line IN LISTS DEF_LINES)
    if(line MATCHES "^ +_([A-Za-z0-9_]+)@[0-9]+ = ")
      string(APPEND DEF_TEXT "    ${CMAKE_MATCH_1}\n")
    else()
      string(APPEND DEF_TEXT "${line}\n")
    endif()
  endforeach()
  set(TESSEL2_DEF ${CMAKE_BINARY_DIR}/tessel2_win64.def)
  file(WRITE ${TESSEL2_DEF} "${DEF_TEXT}")
endif()

add_library(tessel2 SHARED ${ENGINE_SOURCES} ${GLIDE2_FRONT_SOURCES} ${TESSEL2_DEF}
                           ${CMAKE_SOURCE_DIR}/tessel2/resources/tessel2.rc)
target_include_directories(tessel2 PRIVATE ${KESTRIX_INCLUDE_DIRS})
target_link_libraries(tessel2 PRIVATE ${KESTRIX_WIN_LIBS} ${KESTRIX_STATIC_RUNTIME})
set_target_properties(tessel2 PROPERTIES PREFIX "")
target_link_options(tessel2 PRIVATE -Wl,--enable-stdcall-fixup)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_test(NAME tessel2_exports
           COMMAND ${CMAKE_SOURCE_DIR}/tests/exports/check_exports.sh $<TARGET_FILE:tessel2>
                   ${CMAKE_SOURCE_DIR}/include/glide2x.h 124)
else()
  if(EXISTS ${CMAKE_SOURCE_DIR}/tests/wine/CMakeLists.txt)
    add_subdirectory(tests/wine)
  endif()
  if(EXISTS ${CMAKE_SOURCE_DIR}/tests/parity/CMakeLists.txt)
    add_subdirectory(tests/parity)
  endif()
endif()
