# Makes the Debian package of a build and runs lintian on it; fails on its
# errors and warnings, while notes (info, pedantic, experimental) pass.
# Called by CTest:
#   cmake -DCPACK=<cpack> -DCONFIG=<build>/CPackConfig.cmake -DOUT=<folder> -P lintian.cmake
# A missing lintian skips the test (SKIP_REGULAR_EXPRESSION "SKIPPED:").
if(NOT CPACK OR NOT CONFIG OR NOT OUT)
  message(FATAL_ERROR "usage: cmake -DCPACK=... -DCONFIG=... -DOUT=... -P lintian.cmake")
endif()
find_program(lintian NAMES lintian)
if(NOT lintian)
  message("SKIPPED: lintian is not installed (Debian: lintian); the package was not checked")
  return()
endif()
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${CPACK} -G DEB --config ${CONFIG} -B ${OUT}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed (exit status ${status}):\n${out}")
endif()
file(GLOB packages ${OUT}/*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "cpack made ${count} packages in ${OUT}, not one")
endif()
execute_process(COMMAND ${lintian} --display-info --fail-on error,warning ${packages}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
message("lintian ${packages}:\n${out}")
if(NOT status EQUAL 0 OR out MATCHES "(^|\n)[EW]: ")
  message(FATAL_ERROR "lintian found faults in the package (exit status ${status})")
endif()
