# Runs the batch driver on every prepared directory below CASES and compares
# the outcome with what the case expects.
#
# A case directory holds case.cmake (ARGS: the command-line arguments;
# ENVIRONMENT: NAME=VALUE settings for the run; PLATFORM: "windows" or
# "posix" when the case is only for one; EXPECTED_EXIT; EXPECTED_STDERR: a
# regular expression the standard error must match), input/ (copied into a scratch directory, where the driver runs),
# expected/ (the whole scratch directory after the run, byte for byte) and,
# when the output is kept whole, stdout (the standard output, LF line ends).
# Called with -DBATCH=<driver> -DEMULATOR=<runner or empty> -DCASES=<dir>
# -DSCRATCH=<dir> -DTHIS_PLATFORM=windows|posix.
file(GLOB cases LIST_DIRECTORIES true RELATIVE ${CASES} ${CASES}/*)

function(report_failure case message)
  message(SEND_ERROR "${case}: ${message}")
endfunction()

foreach(case IN LISTS cases)
  if(NOT EXISTS ${CASES}/${case}/case.cmake)
    continue()
  endif()
  set(ARGS "")
  set(EXPECTED_EXIT 0)
  set(EXPECTED_STDERR "^$")
  set(EXPECTED_STDOUT "")
  set(ENVIRONMENT "")
  set(PLATFORM "")
  include(${CASES}/${case}/case.cmake)
  if(PLATFORM AND NOT PLATFORM STREQUAL THIS_PLATFORM)
    continue()
  endif()

  set(dir ${SCRATCH}/${case})
  file(REMOVE_RECURSE ${dir})
  file(MAKE_DIRECTORY ${dir})
  if(EXISTS ${CASES}/${case}/input)
    file(COPY ${CASES}/${case}/input/ DESTINATION ${dir})
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E env ${ENVIRONMENT} ${EMULATOR} ${BATCH} ${ARGS}
    WORKING_DIRECTORY ${dir}
    RESULT_VARIABLE exit_code
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err)

  if(NOT exit_code STREQUAL EXPECTED_EXIT)
    report_failure(${case} "exit code ${exit_code}, expected ${EXPECTED_EXIT}")
  endif()
  if(NOT err MATCHES "${EXPECTED_STDERR}")
    report_failure(${case} "standard error '${err}' does not match '${EXPECTED_STDERR}'")
  endif()

  if(NOT EXPECTED_STDOUT STREQUAL "" AND NOT out MATCHES "${EXPECTED_STDOUT}")
    report_failure(${case} "standard output '${out}' does not match '${EXPECTED_STDOUT}'")
  endif()

  if(EXISTS ${CASES}/${case}/stdout)
    file(READ ${CASES}/${case}/stdout expected_out)
    string(REPLACE "\r\n" "\n" out "${out}")
    if(NOT out STREQUAL expected_out)
      report_failure(${case} "standard output '${out}' differs from the case's stdout")
    endif()
  endif()

  file(GLOB_RECURSE actual RELATIVE ${dir} ${dir}/*)
  set(expected "")
  if(EXISTS ${CASES}/${case}/expected)
    file(GLOB_RECURSE expected RELATIVE ${CASES}/${case}/expected ${CASES}/${case}/expected/*)
  endif()
  list(SORT actual)
  list(SORT expected)
  if(NOT actual STREQUAL expected)
    report_failure(${case} "files '${actual}', expected '${expected}'")
    continue()
  endif()
  foreach(name IN LISTS expected)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
      ${dir}/${name} ${CASES}/${case}/expected/${name} RESULT_VARIABLE differs)
    if(differs)
      report_failure(${case} "${name} differs from the expected file")
    endif()
  endforeach()
endforeach()
