# Installation and packages.
# Linux: pareskit-batch in bin/, its manual page in share/man/man1/, the
# library set and the CMake package (find_package(pareskit),
# pareskit_declarations()) in share/pareskit/, README, LICENSE, the Debian
# copyright file and changelog in share/doc/pareskit/; the batch driver
# finds its library set at ../share/pareskit from its own directory, so
# these two places are fixed. CPack makes a .deb and a .tar.gz.
# The library set includes the support library libpareskit.a (a PE/COFF
# archive for the Windows target in every package).
# Win32: the program, the batch driver, the logo, the library set, README
# and LICENSE side by side in one folder, the folder a user starts
# PARESKIT.EXE in, and the CMake package in its cmake/ subfolder; CPack
# makes a ZIP. The executables are linked statically
# (cmake/mingw-w64.cmake), so no DLL goes with them.
# Both: the executables are stripped of their symbols and of the sections
# they do not need at run time.
set(PK_LIBRARY_NAMES USER32 GDI32 KERNEL32 COMDLG32 COMCTL32 WIN32SPL SHELL32
  NETAPI32 OLECLI32 OLESVR32 RASAPI32 LZ32 ADVAPI32)
set(PK_LIBRARY_FILE_NAMES MASTERFI.LIS MASTERFD.LIS)
foreach(library IN LISTS PK_LIBRARY_NAMES)
  list(APPEND PK_LIBRARY_FILE_NAMES ${library}.FD ${library}.FI)
endforeach()
list(TRANSFORM PK_LIBRARY_FILE_NAMES PREPEND ${PROJECT_SOURCE_DIR}/examples/
  OUTPUT_VARIABLE pk_library_paths)
set(PK_BATCH_FILE_NAME pareskit-batch${CMAKE_EXECUTABLE_SUFFIX})
# The support library goes with the library set, in its folder.
include(cmake/PkSupportLibrary.cmake)
if(PK_SUPPORT_LIBRARY)
  list(APPEND pk_library_paths ${PK_SUPPORT_LIBRARY})
endif()

if(WIN32)
  set(PK_INSTALL_BINDIR .)
  set(PK_INSTALL_DATADIR .)
  set(PK_INSTALL_CMAKEDIR cmake)
  set(PK_INSTALL_DOCDIR .)
  install(TARGETS pareskit-batch DESTINATION .)
  install(PROGRAMS $<TARGET_FILE:PARESKIT> DESTINATION . RENAME PARESKIT.EXE)
  install(FILES ${pk_library_paths} ${PROJECT_SOURCE_DIR}/examples/crest.bmp DESTINATION .)
  set(pk_stripped ${PK_BATCH_FILE_NAME} PARESKIT.EXE)
  set(pk_system win64)
  set(CPACK_GENERATOR ZIP)
else()
  set(PK_INSTALL_BINDIR bin)
  set(PK_INSTALL_DATADIR share/pareskit)
  set(PK_INSTALL_CMAKEDIR share/pareskit/cmake)
  set(PK_INSTALL_DOCDIR share/doc/pareskit)
  install(TARGETS pareskit-batch DESTINATION ${PK_INSTALL_BINDIR})
  install(FILES ${pk_library_paths} DESTINATION ${PK_INSTALL_DATADIR})
  if(PK_GZIP)
    install(FILES ${PK_BATCH_MAN}.gz DESTINATION share/man/man1)
  else()
    install(FILES ${PK_BATCH_MAN} DESTINATION share/man/man1)
  endif()
  # The Debian changelog, compressed as Debian's policy asks (gzip -9n).
  configure_file(cmake/debian/changelog.in ${CMAKE_BINARY_DIR}/package/changelog @ONLY)
  execute_process(COMMAND ${PK_GZIP} -9n -c ${CMAKE_BINARY_DIR}/package/changelog
    OUTPUT_FILE ${CMAKE_BINARY_DIR}/package/changelog.gz)
  install(FILES ${CMAKE_BINARY_DIR}/package/changelog.gz cmake/debian/copyright
    DESTINATION ${PK_INSTALL_DOCDIR})
  # lintian takes the Windows archive libpareskit.a for a misplaced library
  # of this machine; the overrides say why it is where it is.
  if(PK_SUPPORT_LIBRARY)
    install(FILES cmake/debian/lintian-overrides DESTINATION share/lintian/overrides
      RENAME pareskit)
  endif()
  set(pk_stripped ${PK_INSTALL_BINDIR}/${PK_BATCH_FILE_NAME})
  set(pk_system linux)
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()
install(FILES README.md LICENSE DESTINATION ${PK_INSTALL_DOCDIR})

# Symbols and the sections only tools read (.comment, notes) are removed
# from the installed executables, whichever way they are installed.
if(CMAKE_STRIP)
  foreach(file IN LISTS pk_stripped)
    install(CODE "execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-all
      --remove-section=.comment --remove-section=.note
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${file}\" RESULT_VARIABLE failed)
      if(failed)
        message(FATAL_ERROR \"cannot strip ${file}\")
      endif()")
  endforeach()
endif()

include(CMakePackageConfigHelpers)
configure_package_config_file(cmake/package/pareskit-config.cmake.in
  ${CMAKE_BINARY_DIR}/package/pareskit-config.cmake
  INSTALL_DESTINATION ${PK_INSTALL_CMAKEDIR}
  PATH_VARS PK_INSTALL_BINDIR PK_INSTALL_DATADIR)
# The driver runs on the build machine whatever the consumer targets.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/pareskit-config-version.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(FILES
  ${CMAKE_BINARY_DIR}/package/pareskit-config.cmake
  ${CMAKE_BINARY_DIR}/package/pareskit-config-version.cmake
  cmake/package/pareskit-declarations.cmake
  cmake/package/pareskit-job.cmake
  DESTINATION ${PK_INSTALL_CMAKEDIR})

set(CPACK_PACKAGE_NAME pareskit)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The PARESKIT developers")
set(CPACK_PACKAGE_CONTACT "The PARESKIT developers <pareskit@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Win32 declarations for Fortran programs, extracted from library files")
# The extended description; CPack puts the summary before it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "pareskit-batch scans a fixed-form or free-form Fortran program for the
symbols of thirteen Win32 libraries it uses and copies exactly those
declaration blocks (constants, structure types and interfaces using
ISO_C_BINDING) out of the library files it ships into NAME.FD and NAME.FI,
which the program INCLUDEs. A report names the symbols no library file
supplies and why.
The package holds the batch driver, its library set and a CMake package
whose pareskit_declarations() extracts the declarations at build time.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://example.org/pareskit")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# Kept apart: include(CPack) leaves the source package's name in CPACK_PACKAGE_FILE_NAME.
set(PK_PACKAGE_FILE_NAME pareskit-${PROJECT_VERSION}-${pk_system})
set(CPACK_PACKAGE_FILE_NAME ${PK_PACKAGE_FILE_NAME})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
include(CPack)
