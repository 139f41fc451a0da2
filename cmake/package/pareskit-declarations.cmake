# pareskit_declarations(TARGET <target> SOURCES <source>...
#                       [FREE_FORM | FIXED_FORM] [LIBRARY_DIR <dir>]
#                       [STRICT <ON|OFF>] [OUT_VAR <variable>])
#
# For each program source NAME.<suffix> of <target>, runs the job for NAME
# at build time in <current binary dir>/pareskit/<target>/ on a copy of the
# source, which writes NAME.FD, NAME.FI, NAME.FDH, NAME.FIH and NAME.PRE
# beside it, and makes <target> compile that copy instead of the source:
# the compilers look for an INCLUDEd file in the folder of the source first,
# so the extracted NAME.FD and NAME.FI are found before anything else (a
# NAME.FD or NAME.FI beside the source, which a configure-time warning
# names, never wins). The folder goes BEFORE every other include folder of
# <target>, and the source's own folder after them, so the source's other
# INCLUDEs are found as before. Compiler messages name the copy. The copy is
# Fortran whatever its suffix (CMake 3.25 takes .f03 and .f08 for no
# language).
#
# The form: FREE_FORM or FIXED_FORM when given; else the source's, then the
# target's, Fortran_FORMAT property (FREE or FIXED); else the suffix (.f90,
# .f95, .f03, .f08 and the same with "F" are free form, any other fixed).
# LIBRARY_DIR: the library set (default: PARESKIT_LIBRARY_DIR, the installed
# one), relative to the calling CMakeLists.txt's folder when not absolute;
# its files are dependencies, so editing one reruns the job, as does a
# changed source or batch driver. STRICT (default ON): the build stops at
# the job when a symbol the program uses has no block (or its library file
# is missing), naming each. OUT_VAR: the list of the files written.
# A target may be given in any number of calls, each NAME once; call it in
# the directory that creates <target>. A Windows target links the library
# set's libpareskit.a, the functions of the macros, when the set has one.
#
# Written for CMake 3.7 and later (cmake_parse_arguments with PARSE_ARGV is
# the newest command used), under the policies pareskit-config.cmake sets,
# whatever policies the calling project declares.

# Where the function finds the script of one job, from any directory.
set_property(GLOBAL PROPERTY PARESKIT_JOB_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/pareskit-job.cmake")

function(pareskit_declarations)
  get_property(job_script GLOBAL PROPERTY PARESKIT_JOB_SCRIPT)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "FREE_FORM;FIXED_FORM" "TARGET;LIBRARY_DIR;STRICT;OUT_VAR"
    "SOURCES")
  if(NOT ARG_TARGET OR NOT ARG_SOURCES OR ARG_UNPARSED_ARGUMENTS OR (ARG_FREE_FORM AND ARG_FIXED_FORM))
    message(FATAL_ERROR "usage: pareskit_declarations(TARGET <target> SOURCES <source>... "
      "[FREE_FORM | FIXED_FORM] [LIBRARY_DIR <dir>] [STRICT <ON|OFF>] [OUT_VAR <variable>])")
  endif()
  if(NOT TARGET ${ARG_TARGET})
    message(FATAL_ERROR "pareskit_declarations: no target ${ARG_TARGET}")
  endif()
  get_property(languages GLOBAL PROPERTY ENABLED_LANGUAGES)
  if(NOT Fortran IN_LIST languages)
    message(FATAL_ERROR "pareskit_declarations: the project has no Fortran; enable it with "
      "project(... LANGUAGES Fortran) or enable_language(Fortran)")
  endif()
  get_target_property(target_dir ${ARG_TARGET} SOURCE_DIR)
  if(NOT target_dir STREQUAL CMAKE_CURRENT_SOURCE_DIR)
    message(FATAL_ERROR "pareskit_declarations: call it in ${target_dir}, where ${ARG_TARGET} is made")
  endif()
  if(NOT DEFINED ARG_STRICT)
    set(ARG_STRICT ON)
  endif()
  if(NOT DEFINED ARG_LIBRARY_DIR)
    set(ARG_LIBRARY_DIR "${PARESKIT_LIBRARY_DIR}")
  endif()
  get_filename_component(library_dir "${ARG_LIBRARY_DIR}" ABSOLUTE
    BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  set(library_files)
  foreach(name IN LISTS PARESKIT_LIBRARY_FILE_NAMES)
    if(EXISTS "${library_dir}/${name}")
      list(APPEND library_files "${library_dir}/${name}")
    endif()
  endforeach()
  if(NOT library_files)
    message(FATAL_ERROR "pareskit_declarations: ${library_dir} holds no library set")
  endif()

  set(dir "${CMAKE_CURRENT_BINARY_DIR}/pareskit/${ARG_TARGET}")
  file(MAKE_DIRECTORY "${dir}")
  get_target_property(target_format ${ARG_TARGET} Fortran_FORMAT)
  get_target_property(names ${ARG_TARGET} PARESKIT_NAMES)
  if(NOT names)
    set(names)
  endif()
  set(written)
  foreach(source IN LISTS ARG_SOURCES)
    get_filename_component(source "${source}" ABSOLUTE)
    get_filename_component(source_dir "${source}" DIRECTORY)
    get_filename_component(file_name "${source}" NAME)
    # NAME is the file name up to its last ".", the suffix the rest.
    set(name "${file_name}")
    set(suffix "")
    if(file_name MATCHES "\\.")
      string(REGEX REPLACE "\\.[^.]*$" "" name "${file_name}")
      string(REGEX REPLACE "^.*\\." "" suffix "${file_name}")
    endif()
    string(TOUPPER "${name}" key)
    if(key IN_LIST names)
      message(FATAL_ERROR "pareskit_declarations: ${ARG_TARGET} has a program ${name} already")
    endif()
    list(APPEND names "${key}")

    get_source_file_property(source_format "${source}" Fortran_FORMAT)
    if(ARG_FREE_FORM)
      set(form FREE)
    elseif(ARG_FIXED_FORM)
      set(form FIXED)
    elseif(source_format MATCHES "^(FREE|FIXED)$")
      set(form ${source_format})
    elseif(target_format MATCHES "^(FREE|FIXED)$")
      set(form ${target_format})
    elseif(suffix MATCHES "^[fF](90|95|03|08)$")
      set(form FREE)
    else()
      set(form FIXED)
    endif()
    # The copy keeps the suffix where the job takes it, and the case of its
    # first letter otherwise, so that the compiler preprocesses it as it
    # would the source.
    if(suffix MATCHES "^F")
      set(fixed_suffix FOR)
      set(free_suffix F90)
    else()
      set(fixed_suffix for)
      set(free_suffix f90)
    endif()
    set(fixed_suffixes FOR For for f77 F77 fpp FPP)
    set(free_suffixes f90 F90 f95 F95 f03 F03 f08 F08)
    if(suffix IN_LIST free_suffixes AND form STREQUAL FREE)
      set(copy_suffix ${suffix})
    elseif(suffix IN_LIST fixed_suffixes)
      set(copy_suffix ${suffix})
    elseif(form STREQUAL FREE)
      set(copy_suffix ${free_suffix})
    else()
      set(copy_suffix ${fixed_suffix})
    endif()
    set(job_args "${name}.${copy_suffix}")
    if(form STREQUAL FREE)
      list(APPEND job_args --free-form)
    endif()
    if(ARG_STRICT)
      list(APPEND job_args --strict)
    endif()

    foreach(stale IN ITEMS FD FI)
      if(EXISTS "${source_dir}/${name}.${stale}")
        message(WARNING "pareskit_declarations: ${source_dir}/${name}.${stale} sits beside "
          "${name}.${suffix}; the build uses ${dir}/${name}.${stale} instead (remove the "
          "stale file)")
      endif()
    endforeach()

    set(copy "${dir}/${name}.${copy_suffix}")
    set(outputs "${dir}/${name}.FD" "${dir}/${name}.FI" "${dir}/${name}.FDH"
      "${dir}/${name}.FIH" "${dir}/${name}.PRE")
    add_custom_command(OUTPUT "${copy}" ${outputs}
      COMMAND "${CMAKE_COMMAND}" "-DBATCH=$<TARGET_FILE:pareskit::batch>"
        "-DSOURCE=${source}" "-DCOPY=${copy}" "-DLIBRARY_DIR=${library_dir}"
        "-DARGS=${job_args}" "-DOUTPUTS=${outputs}" -P "${job_script}"
      WORKING_DIRECTORY "${dir}"
      DEPENDS "${source}" ${library_files} "$<TARGET_FILE:pareskit::batch>"
        "${job_script}"
      COMMENT "Extracting the Win32 declarations of ${name}"
      VERBATIM)

    # The copy is compiled in place of the source, with what was set for it.
    set_source_files_properties("${source}" PROPERTIES HEADER_FILE_ONLY ON)
    set_source_files_properties("${copy}" PROPERTIES Fortran_FORMAT ${form}
      OBJECT_DEPENDS "${dir}/${name}.FD;${dir}/${name}.FI")
    foreach(property IN ITEMS COMPILE_OPTIONS COMPILE_DEFINITIONS INCLUDE_DIRECTORIES
        Fortran_PREPROCESS LANGUAGE)
      get_source_file_property(value "${source}" ${property})
      if(NOT value STREQUAL "NOTFOUND" AND NOT value STREQUAL "")
        set_property(SOURCE "${copy}" PROPERTY ${property} "${value}")
      endif()
    endforeach()
    # A suffix CMake takes for no language (.f03 and .f08 in 3.25) would
    # leave the copy uncompiled and the target without its program.
    get_source_file_property(language "${copy}" LANGUAGE)
    if(NOT language AND NOT copy_suffix IN_LIST CMAKE_Fortran_SOURCE_FILE_EXTENSIONS)
      set_property(SOURCE "${copy}" PROPERTY LANGUAGE Fortran)
    endif()
    set_source_files_properties(${outputs} PROPERTIES HEADER_FILE_ONLY ON)
    target_sources(${ARG_TARGET} PRIVATE "${copy}" ${outputs})
    target_include_directories(${ARG_TARGET} PRIVATE "${source_dir}")
    list(APPEND written "${copy}" ${outputs})
  endforeach()
  set_property(TARGET ${ARG_TARGET} PROPERTY PARESKIT_NAMES "${names}")
  target_include_directories(${ARG_TARGET} BEFORE PRIVATE "${dir}")
  # A Windows target links the support library of the macros (LOWORD, RGB
  # ...) once, before the import libraries its functions call.
  set(support "${library_dir}/libpareskit.a")
  get_target_property(linked ${ARG_TARGET} LINK_LIBRARIES)
  if(CMAKE_SYSTEM_NAME STREQUAL "Windows" AND EXISTS "${support}"
      AND NOT support IN_LIST linked)
    set_property(TARGET ${ARG_TARGET} APPEND PROPERTY LINK_LIBRARIES
      "${support}" comctl32 gdi32 shell32 user32 kernel32)
  endif()
  if(ARG_OUT_VAR)
    set(${ARG_OUT_VAR} "${written}" PARENT_SCOPE)
  endif()
endfunction()
