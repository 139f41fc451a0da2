# pareskit_declarations(TARGET <target> SOURCES <NAME.FOR>...)
#
# For each program source, runs the job for its NAME at build time in
# <current binary dir>/pareskit/<target>/ (the job reads its copy there,
# NAME.f90 or NAME.F90 as free form, any other as fixed-form NAME.FOR, and
# writes NAME.FD, NAME.FI, NAME.FDH, NAME.FIH and NAME.PRE beside it),
# and puts that directory on the target's include path, so that the
# program's INCLUDE 'NAME.FD' and INCLUDE 'NAME.FI' find the extracted
# declarations. A job reruns when its source, the library set or the batch
# driver changes. <target> must already exist.
function(pareskit_declarations)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "" "TARGET" "SOURCES")
  if(NOT ARG_TARGET OR NOT ARG_SOURCES OR ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "usage: pareskit_declarations(TARGET <target> SOURCES <NAME.FOR>...)")
  endif()
  set(dir "${CMAKE_CURRENT_BINARY_DIR}/pareskit/${ARG_TARGET}")
  file(MAKE_DIRECTORY "${dir}")
  set(declarations)
  foreach(source IN LISTS ARG_SOURCES)
    get_filename_component(source "${source}" ABSOLUTE)
    get_filename_component(name "${source}" NAME_WLE)
    get_filename_component(suffix "${source}" LAST_EXT)
    if(NOT suffix MATCHES "^\\.[fF]90$")
      set(suffix .FOR)
    endif()
    set(outputs "${dir}/${name}.FD" "${dir}/${name}.FI" "${dir}/${name}.FDH"
      "${dir}/${name}.FIH" "${dir}/${name}.PRE")
    add_custom_command(OUTPUT ${outputs}
      COMMAND "${CMAKE_COMMAND}" -E copy "${source}" "${dir}/${name}${suffix}"
      COMMAND pareskit::batch --library-dir "${PARESKIT_LIBRARY_DIR}" "${name}"
      WORKING_DIRECTORY "${dir}"
      DEPENDS "${source}" ${PARESKIT_LIBRARY_FILES} "$<TARGET_FILE:pareskit::batch>"
      COMMENT "Extracting the Win32 declarations of ${name}"
      VERBATIM)
    list(APPEND declarations ${outputs})
  endforeach()
  add_custom_target(${ARG_TARGET}_pareskit DEPENDS ${declarations})
  add_dependencies(${ARG_TARGET} ${ARG_TARGET}_pareskit)
  target_include_directories(${ARG_TARGET} PRIVATE "${dir}")
endfunction()
