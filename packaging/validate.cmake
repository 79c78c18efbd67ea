# Runs one validator on one file and fails on its errors and warnings, while
# notes (appstreamcli's infos and pedantic hints, desktop-file-validate's
# hints) pass.  Called by CTest:
#   cmake -DTOOL=<program> -DARGS=<arg;...> -DFILE=<file> -P validate.cmake
# A missing tool skips the test with a message (the test's
# SKIP_REGULAR_EXPRESSION matches "SKIPPED:").
if(NOT TOOL OR NOT FILE)
  message(FATAL_ERROR "usage: cmake -DTOOL=... [-DARGS=...] -DFILE=... -P validate.cmake")
endif()
find_program(validator NAMES ${TOOL})
if(NOT validator)
  message("SKIPPED: ${TOOL} is not installed (Debian: desktop-file-utils, appstream); ${FILE} was not checked")
  return()
endif()
execute_process(COMMAND ${validator} ${ARGS} ${FILE}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
message("${out}")
# desktop-file-validate writes "FILE: error: ..." and "FILE: warning: ...";
# appstreamcli writes "E: id:line: tag" and "W: id:line: tag".
if(NOT status EQUAL 0 OR out MATCHES "(^|\n)[EW]: " OR out MATCHES ": (error|warning): ")
  message(FATAL_ERROR "${TOOL} found faults in ${FILE} (exit status ${status})")
endif()
