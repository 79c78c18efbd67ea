# Every recorded scenario, played by the runner given as SIM (a command list),
# must print its recorded output byte for byte.
# Run with -DSIM=<command> -DSCENARIOS=<dir>.

file(GLOB scripts "${SCENARIOS}/*.sim")
list(LENGTH scripts count)
if(count EQUAL 0)
  message(FATAL_ERROR "no scenarios in ${SCENARIOS}")
endif()
set(failed 0)
foreach(script IN LISTS scripts)
  string(REGEX REPLACE "\\.sim$" ".jsonl" recorded "${script}")
  execute_process(COMMAND ${SIM} "${script}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  file(READ "${recorded}" expected)
  get_filename_component(name "${script}" NAME_WE)
  if(NOT rc EQUAL 0 OR NOT out STREQUAL expected)
    math(EXPR failed "${failed} + 1")
    message(SEND_ERROR "${name}: exit ${rc}, output differs from ${recorded}; stderr: ${err}")
  else()
    message(STATUS "${name}: identical")
  endif()
endforeach()
