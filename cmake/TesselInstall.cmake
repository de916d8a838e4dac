# What `cmake --install` puts where. The version of everything installed is the project's:
# PROJECT_VERSION, from project() in the top-level CMakeLists.txt.
#
# Linux, in components a packager can split (a plain `cmake --install` installs them all):
#   runtime  libtessel.so.MAJOR with its SONAME
#   dev      the header, the libtessel.so link, the CMake package Tessel::tessel, tessel.pc
#   trace    beside libtessel.so the trace library libtessel_trace.so, which hosts load by its
#            path to watch the detector (no SONAME, nothing links against it)
#   cli      the tessel command with its man page, where the command line is built
#   gstreamer the GStreamer plugin libgsttessel.so, where it is built (gstreamer/CMakeLists.txt)
# Windows: one flat folder, the layout of each architecture's folder in the release zip
# (scripts/package): Tessel.dll, both import libraries, tessel.def, tessel.h and the two tools.

set(TESSEL_DEF_FILE ${PROJECT_SOURCE_DIR}/signal_quality/tessel.def)
set(TESSEL_HEADER ${PROJECT_SOURCE_DIR}/include/tessel.h)

if(WIN32)
  install(TARGETS tessel RUNTIME DESTINATION . ARCHIVE DESTINATION .)
  if(TESSEL_BUILD_TOOLS)
    install(TARGETS Prunell Vaultsweep RUNTIME DESTINATION .)
  endif()
  install(FILES ${TESSEL_HEADER} ${TESSEL_DEF_FILE} DESTINATION .)

  # MSVC links against an import library of its own format; llvm-dlltool writes one from the
  # same .def file that decides the DLL's exports. On i386 it decorates each name the way MSVC
  # decorates a __cdecl function (_Tessel_Init) while the DLL is still asked for the plain name.
  find_program(TESSEL_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14)
  if(TESSEL_LLVM_DLLTOOL)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(dlltool_machine i386)
    else()
      set(dlltool_machine i386:x86-64)
    endif()
    set(msvc_import_lib ${CMAKE_ARCHIVE_OUTPUT_DIRECTORY}/Tessel.lib)
    add_custom_command(
      OUTPUT ${msvc_import_lib}
      COMMAND ${TESSEL_LLVM_DLLTOOL} -m ${dlltool_machine} -d ${TESSEL_DEF_FILE} -l ${msvc_import_lib}
      DEPENDS ${TESSEL_DEF_FILE}
      COMMENT "MSVC import library Tessel.lib")
    add_custom_target(tessel_msvc_import_lib ALL DEPENDS ${msvc_import_lib})
    install(FILES ${msvc_import_lib} DESTINATION .)
  else()
    message(STATUS "llvm-dlltool not found (Debian package llvm): no Tessel.lib, and "
                   "scripts/package will refuse to make a release")
  endif()
  return()
endif()

include(CMakePackageConfigHelpers)

set_target_properties(tessel PROPERTIES VERSION ${PROJECT_VERSION}
                                        SOVERSION ${PROJECT_VERSION_MAJOR})

install(TARGETS tessel EXPORT TesselTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${TESSEL_HEADER} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT dev)
install(TARGETS tessel_trace LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT trace)

set(cmake_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Tessel)
install(EXPORT TesselTargets NAMESPACE Tessel:: DESTINATION ${cmake_package_dir} COMPONENT dev)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TesselConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/package/TesselConfig.cmake
                              INSTALL_DESTINATION ${cmake_package_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/TesselConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/TesselConfig.cmake
              ${CMAKE_BINARY_DIR}/package/TesselConfigVersion.cmake
        DESTINATION ${cmake_package_dir} COMPONENT dev)

# tessel.pc names the prefix given to `cmake --install --prefix`, not the configured one: the
# version and folders are filled in now, the prefix when installing.
set(prefix "@prefix@")
configure_file(${CMAKE_CURRENT_LIST_DIR}/tessel.pc.in ${CMAKE_BINARY_DIR}/package/tessel.pc.in @ONLY)
install(CODE "
  set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
  configure_file(\"${CMAKE_BINARY_DIR}/package/tessel.pc.in\"
                 \"${CMAKE_BINARY_DIR}/package/tessel.pc\" @ONLY)" COMPONENT dev)
install(FILES ${CMAKE_BINARY_DIR}/package/tessel.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT dev)

if(NOT TESSEL_BUILD_CLI)
  return()
endif()
install(TARGETS tessel_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT cli)

# The man page is the command's own help, so it cannot fall behind the options.
set(man_page ${CMAKE_BINARY_DIR}/man/tessel.1)
add_custom_command(
  OUTPUT ${man_page}
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:tessel_cli> -DOUTPUT=${man_page}
          -P ${CMAKE_CURRENT_LIST_DIR}/TesselManPage.cmake
  DEPENDS tessel_cli ${CMAKE_CURRENT_LIST_DIR}/TesselManPage.cmake
  COMMENT "Man page tessel.1 from tessel --help")
add_custom_target(tessel_man_page ALL DEPENDS ${man_page})
install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT cli)
