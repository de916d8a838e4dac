# GoogleTest as CMake finds it on the build machine; a cross build (mingw, aarch64) builds it
# from GoogleTest's sources, which Debian's googletest package puts in /usr/src/googletest
# (another copy through -DTESSEL_GOOGLETEST_SOURCE_DIR=...).
# Cross-built test programs run through CMAKE_CROSSCOMPILING_EMULATOR: Windows programs under
# wine, with one wine prefix per build folder (scripts/lib/run-windows-tests creates it and runs
# the suite under one wine server); Linux programs for another processor under qemu-user, on
# the cross toolchain's libraries.

if(NOT BUILD_TESTING)
  # Nothing to find.
elseif(CMAKE_CROSSCOMPILING)
  find_path(TESSEL_GOOGLETEST_SOURCE_DIR googletest/CMakeLists.txt
            PATHS /usr/src/googletest NO_CMAKE_FIND_ROOT_PATH
            DOC "GoogleTest's source tree, built for the target when cross-compiling")
  if(NOT TESSEL_GOOGLETEST_SOURCE_DIR)
    message(FATAL_ERROR "GoogleTest's sources were not found (Debian package googletest); set "
                        "TESSEL_GOOGLETEST_SOURCE_DIR or configure with -DBUILD_TESTING=OFF")
  endif()
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${TESSEL_GOOGLETEST_SOURCE_DIR}/googletest ${CMAKE_BINARY_DIR}/googletest
                   EXCLUDE_FROM_ALL)

  set(runner_permissions FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                         GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  if(WIN32)
    set(TESSEL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    math(EXPR TESSEL_WINE_BITS "${CMAKE_SIZEOF_VOID_P} * 8")
    configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
                   ${runner_permissions})
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
  elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    set(TESSEL_QEMU_SYSROOT "${CMAKE_FIND_ROOT_PATH}"
        CACHE PATH "The target's C and C++ libraries, where qemu-user finds the dynamic loader")
    find_program(TESSEL_QEMU qemu-${CMAKE_SYSTEM_PROCESSOR} DOC "qemu-user for the target")
    if(NOT TESSEL_QEMU)
      message(FATAL_ERROR "qemu-${CMAKE_SYSTEM_PROCESSOR} was not found (Debian package "
                          "qemu-user); it runs the tests, or configure with -DBUILD_TESTING=OFF")
    endif()
    configure_file(${CMAKE_SOURCE_DIR}/cmake/qemu-run.in ${CMAKE_BINARY_DIR}/qemu-run @ONLY
                   ${runner_permissions})
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/qemu-run)
  else()
    message(FATAL_ERROR "No way to run the tests of a ${CMAKE_SYSTEM_NAME} build here; "
                        "configure with -DBUILD_TESTING=OFF")
  endif()
else()
  find_package(GTest REQUIRED)
endif()

# tessel_add_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
# One executable per suite; CTest runs it (under wine or qemu when cross-compiling). Nothing is
# defined where the tests are not built, so the areas may declare their suites unconditionally.
# Checks that only read built files and run none of them carry the label "static": they are
# what a Windows preset can still check on a machine that cannot run its programs.
function(tessel_add_test name)
  if(NOT BUILD_TESTING)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
