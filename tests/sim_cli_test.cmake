# The simulator as a process: exit codes, what reaches stdout and stderr.
# Run with -DSIM=<zorvane-sim> -DSCENARIOS=<dir>.

function(run_sim script expect_rc expect_out expect_err)
  set(file "${CMAKE_CURRENT_BINARY_DIR}/sim_cli_input.sim")
  file(WRITE "${file}" "${script}")
  execute_process(COMMAND ${SIM} "${file}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc STREQUAL expect_rc)
    message(FATAL_ERROR "script [${script}]: exit ${rc}, expected ${expect_rc}; stderr: ${err}")
  endif()
  if(NOT out MATCHES "${expect_out}")
    message(FATAL_ERROR "script [${script}]: stdout [${out}] does not match [${expect_out}]")
  endif()
  if(NOT err MATCHES "${expect_err}")
    message(FATAL_ERROR "script [${script}]: stderr [${err}] does not match [${expect_err}]")
  endif()
endfunction()

# A malformed script runs nothing and prints nothing; one line per fault.
run_sim("dump\nbogus\nstart\nstart\n" 2 "^$"
        "^zorvane-sim: line 2: [^\n]+\nzorvane-sim: line 4: [^\n]+\n$")
# A run-time failure keeps what was printed before it and stops the rest.
run_sim("start\ndump\nset picCKBot(1).Top 3\ndump\n" 3 "^{\"t\":0,[^\n]*}\n$"
        "^zorvane-sim: line 3: picCKBot\\(1\\) does not exist yet\n$")
# An empty script is a script that does nothing.
run_sim("" 0 "^$" "^$")
run_sim("start\nadvance 50000\nset kills 151\nadvance 50\n" 0
        "^{\"t\":50050,\"msgbox\":\"You won the game, good job!\"}\n{\"t\":50050,\"msgbox\":\"Your score is [-0-9]*\"}\n$" "^$")

execute_process(COMMAND ${SIM} a b RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 2 OR NOT out STREQUAL "" OR NOT err MATCHES "^zorvane-sim: [^\n]+\n$")
  message(FATAL_ERROR "two arguments: exit ${rc}, stderr ${err}")
endif()
execute_process(COMMAND ${SIM} "${SCENARIOS}/no-such-file.sim" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 2 OR NOT out STREQUAL "" OR NOT err MATCHES "^zorvane-sim: cannot read [^\n]+\n$")
  message(FATAL_ERROR "missing file: exit ${rc}, stderr ${err}")
endif()
# From standard input as well.
execute_process(COMMAND ${SIM} INPUT_FILE "${SCENARIOS}/load.sim" RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out MATCHES "\"screen\":\"battlefield\"")
  message(FATAL_ERROR "stdin: exit ${rc}")
endif()
