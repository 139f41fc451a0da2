# Installation and packages.
# Linux: pareskit-batch in bin/, the library set and the CMake package
# (find_package(pareskit), pareskit_declarations()) in share/pareskit/; the
# batch driver finds its library set at ../share/pareskit from its own
# directory, so these two places are fixed. CPack makes a .deb and a .tar.gz.
# Win32: the program, the batch driver, the logo and the library set side by
# side in one folder, the folder a user starts PARESKIT.EXE in; CPack makes a
# ZIP. The executables are linked statically (cmake/mingw-w64.cmake), so no
# DLL goes with them.
set(PK_LIBRARY_NAMES USER32 GDI32 KERNEL32 COMDLG32 COMCTL32 WIN32SPL SHELL32
  NETAPI32 OLECLI32 OLESVR32 RASAPI32 LZ32 ADVAPI32)
set(PK_LIBRARY_FILES MASTERFI.LIS MASTERFD.LIS)
foreach(library IN LISTS PK_LIBRARY_NAMES)
  list(APPEND PK_LIBRARY_FILES ${library}.FD ${library}.FI)
endforeach()
list(TRANSFORM PK_LIBRARY_FILES PREPEND ${PROJECT_SOURCE_DIR}/examples/ OUTPUT_VARIABLE pk_library_paths)

if(WIN32)
  install(TARGETS pareskit-batch DESTINATION .)
  install(PROGRAMS $<TARGET_FILE:PARESKIT> DESTINATION . RENAME PARESKIT.EXE)
  install(FILES ${pk_library_paths} ${PROJECT_SOURCE_DIR}/examples/crest.bmp DESTINATION .)
  set(pk_system win64)
  set(CPACK_GENERATOR ZIP)
else()
  set(PK_INSTALL_BINDIR bin)
  set(PK_INSTALL_DATADIR share/pareskit)
  install(TARGETS pareskit-batch DESTINATION ${PK_INSTALL_BINDIR})
  install(FILES ${pk_library_paths} DESTINATION ${PK_INSTALL_DATADIR})

  include(CMakePackageConfigHelpers)
  configure_package_config_file(cmake/package/pareskit-config.cmake.in
    ${CMAKE_BINARY_DIR}/package/pareskit-config.cmake
    INSTALL_DESTINATION ${PK_INSTALL_DATADIR}/cmake
    PATH_VARS PK_INSTALL_BINDIR PK_INSTALL_DATADIR)
  # The driver runs on the build machine whatever the consumer targets.
  write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/pareskit-config-version.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
  install(FILES
    ${CMAKE_BINARY_DIR}/package/pareskit-config.cmake
    ${CMAKE_BINARY_DIR}/package/pareskit-config-version.cmake
    cmake/package/pareskit-declarations.cmake
    DESTINATION ${PK_INSTALL_DATADIR}/cmake)

  set(pk_system linux)
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_STRIP_FILES ON)
endif()

set(CPACK_PACKAGE_NAME pareskit)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The PARESKIT developers")
set(CPACK_PACKAGE_CONTACT "The PARESKIT developers <pareskit@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Copies the Win32 declarations a fixed-form Fortran program uses out of library files")
# Kept apart: include(CPack) leaves the source package's name in CPACK_PACKAGE_FILE_NAME.
set(PK_PACKAGE_FILE_NAME pareskit-${PROJECT_VERSION}-${pk_system})
set(CPACK_PACKAGE_FILE_NAME ${PK_PACKAGE_FILE_NAME})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
include(CPack)
