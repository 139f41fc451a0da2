# One job of pareskit_declarations(), run at build time in the job's folder:
# copies SOURCE to COPY, runs BATCH with --library-dir LIBRARY_DIR and ARGS,
# and, when the job fails, removes COPY and OUTPUTS so that the next build
# runs it again, and fails the build step.
configure_file("${SOURCE}" "${COPY}" COPYONLY)
execute_process(COMMAND "${BATCH}" --library-dir "${LIBRARY_DIR}" ${ARGS}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE "${COPY}" ${OUTPUTS})
  get_filename_component(source "${SOURCE}" NAME)
  message(FATAL_ERROR "pareskit_declarations: the job for ${source} failed (exit code ${status})")
endif()
