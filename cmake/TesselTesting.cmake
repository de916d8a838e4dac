# GoogleTest natively from the system; for mingw it is built from Debian's sources.
# Windows test programs run under wine through CMAKE_CROSSCOMPILING_EMULATOR, with one
# wine prefix per build folder (scripts/test creates it).

if(CMAKE_CROSSCOMPILING)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

  set(TESSEL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  math(EXPR TESSEL_WINE_BITS "${CMAKE_SIZEOF_VOID_P} * 8")
  configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
else()
  find_package(GTest REQUIRED)
endif()

# tessel_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One executable per suite; CTest runs it (under wine when cross-compiling).
# Checks that only read built files and run none of them carry the label "static": they are
# what a Windows preset can still check on a machine that cannot run its programs.
function(tessel_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
endfunction()
