# The simulator fed with what no script should hold: binary data, overlong
# lines, numbers out of range, a script larger than the limit, a script that
# cannot be read. Each fault is one line on stderr, the exit status is 2,
# nothing reaches stdout and nothing runs. Run with -DSIM=<zorvane-sim>.

if(NOT SIM)
  message(FATAL_ERROR "run with -DSIM=<zorvane-sim>")
endif()
set(work "${CMAKE_CURRENT_BINARY_DIR}/sim_bad_input")
file(REMOVE_RECURSE "${work}")
file(MAKE_DIRECTORY "${work}")

# /usr/bin/time -v reports the peak memory of a run; without it that check is skipped.
set(timer "")
if(EXISTS /usr/bin/time)
  execute_process(COMMAND /usr/bin/time -v true RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE probe)
  if(rc EQUAL 0 AND probe MATCHES "Maximum resident set size")
    set(timer /usr/bin/time -v -o "${work}/time.txt")
  endif()
endif()

# Runs the simulator on FILE (or with FILE on standard input when the last
# argument is STDIN) and leaves rc, out, err and rss_kb (or -1) in the caller.
function(run_on file)
  set(err_file "${work}/stderr.txt")
  if(ARGN STREQUAL "STDIN")
    execute_process(COMMAND ${timer} "${SIM}" INPUT_FILE "${file}" RESULT_VARIABLE code OUTPUT_VARIABLE stdout
                    ERROR_FILE "${err_file}")
  else()
    execute_process(COMMAND ${timer} "${SIM}" "${file}" RESULT_VARIABLE code OUTPUT_VARIABLE stdout
                    ERROR_FILE "${err_file}")
  endif()
  file(READ "${err_file}" stderr)
  set(kb -1)
  if(timer)
    file(READ "${work}/time.txt" report)
    if(report MATCHES "Maximum resident set size \\(kbytes\\): ([0-9]+)")
      set(kb ${CMAKE_MATCH_1})
    endif()
    if(report MATCHES "terminated by signal")
      set(code "crashed")
    endif()
  endif()
  set(rc "${code}" PARENT_SCOPE)
  set(out "${stdout}" PARENT_SCOPE)
  set(err "${stderr}" PARENT_SCOPE)
  set(rss_kb "${kb}" PARENT_SCOPE)
endfunction()

# A malformed script: exit 2, nothing on stdout, and stderr holds exactly one
# `zorvane-sim: line N: WHAT` line for each of the expected lines N, in order.
function(expect_faults what file)
  run_on("${file}" ${ARGN})
  if(NOT rc STREQUAL "2" OR NOT out STREQUAL "")
    string(SUBSTRING "${out}" 0 300 out)
    string(SUBSTRING "${err}" 0 300 err)
    message(FATAL_ERROR "${what}: exit ${rc}, stdout [${out}], stderr [${err}]; expected exit 2 and no output")
  endif()
  # Every line has the form of a fault; what is left after taking them all out is nothing.
  string(REGEX REPLACE "zorvane-sim: line [0-9]+: [^\n]+\n" "" leftover "${err}")
  if(NOT leftover STREQUAL "")
    string(SUBSTRING "${leftover}" 0 300 leftover)
    message(FATAL_ERROR "${what}: stderr holds more than faults, such as [${leftover}]")
  endif()
  string(REGEX MATCHALL "zorvane-sim: line [0-9]+:" heads "${err}")
  string(REGEX REPLACE "zorvane-sim: line ([0-9]+):" "\\1" seen "${heads}")
  if(NOT err MATCHES "\n$")
    message(FATAL_ERROR "${what}: stderr [${err}] does not end with a line end")
  endif()
  if(DEFINED expected_lines AND NOT seen STREQUAL "${expected_lines}")
    message(FATAL_ERROR "${what}: faults on lines [${seen}], expected [${expected_lines}]; stderr [${err}]")
  endif()
  if(seen STREQUAL "")
    message(FATAL_ERROR "${what}: no fault reported")
  endif()
  set(rss_kb "${rss_kb}" PARENT_SCOPE)
endfunction()

# A fault of the whole input (not of a line): exit 2, no stdout, stderr is the one given line.
function(expect_refusal what file pattern)
  run_on("${file}" ${ARGN})
  if(NOT rc STREQUAL "2" OR NOT out STREQUAL "" OR NOT err MATCHES "^zorvane-sim: ${pattern}\n$")
    message(FATAL_ERROR "${what}: exit ${rc}, stdout [${out}], stderr [${err}]; expected exit 2 and one line "
                        "matching [zorvane-sim: ${pattern}]")
  endif()
  set(rss_kb "${rss_kb}" PARENT_SCOPE)
endfunction()

function(expect_bounded what limit_kb)
  if(rss_kb GREATER_EQUAL 0 AND rss_kb GREATER limit_kb)
    message(FATAL_ERROR "${what}: peak memory ${rss_kb} kB, more than ${limit_kb} kB")
  endif()
endfunction()

# ---- binary data ----
# The simulator's own executable: NUL bytes, invalid UTF-8, very long lines.
expect_faults("an executable as the script" "${SIM}")
expect_bounded("an executable as the script" 262144)
string(ASCII 255 254 1 7 binary)
string(ASCII 239 187 191 bom)
file(WRITE "${work}/binary.sim" "start\n${binary}\ndump\nadvance 10\n${bom}dump\n")
set(expected_lines 2 5)  # a byte-order mark is text, but no command word
expect_faults("stray bytes" "${work}/binary.sim")
expect_faults("stray bytes on standard input" "${work}/binary.sim" STDIN)
unset(expected_lines)

# ---- overlong lines: one fault each, the lines around them still read ----
string(REPEAT "#" 65536 longest)
string(REPEAT "a" 65537 overlong)
file(WRITE "${work}/long.sim" "start\n${longest}\n${overlong}\nset lblStageNum.Caption ${overlong}\nbogus\n")
set(expected_lines 3 4 5)
expect_faults("overlong lines" "${work}/long.sim")
unset(expected_lines)

# ---- numbers out of range, fractions and exponents where they do not belong ----
file(WRITE "${work}/numbers.sim" [=[
advance -1
advance 10000000001
advance 99999999999999999999999
start
set lives 32768
set lives -32769
set kills 1.5
set clockSeconds 60
set clockSeconds -1
set score 2147483648
set projSpeed(4) 1
set picLife(3).Visible true
set picCKTop(32768).Left 1
set picCKTop(-1).Left 1
set picHero.Left 340282366920938463463374607431768211456
set picHero.Left 1e3
mousedown 3 100 100
mousedown 0 100 100
mousedown 1 100 nan
mouseup 1 inf 0
resize 0 100
resize 100 -1
resize 340282366920938463463374607431768211456 100
keydown 1.0
advance 10
dump
]=])
set(expected_lines 1 2 3 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24)
expect_faults("numbers out of range" "${work}/numbers.sim")
unset(expected_lines)

# ---- a script larger than 64 MiB: refused whole, from a file or from stdin ----
# Valid commands, so only the size is at fault; built in 1 MiB blocks.
string(REPEAT "advance 0\n" 104857 block)
string(APPEND block "######\n")
file(WRITE "${work}/huge.sim" "")
foreach(i RANGE 1 65)
  file(APPEND "${work}/huge.sim" "${block}")
endforeach()
file(SIZE "${work}/huge.sim" size)
if(NOT size GREATER 67108864)
  message(FATAL_ERROR "the huge script is only ${size} bytes")
endif()
expect_refusal("a huge script" "${work}/huge.sim" "the script is larger than 64 MiB")
expect_bounded("a huge script" 262144)
expect_refusal("a huge script on standard input" "${work}/huge.sim" "the script is larger than 64 MiB" STDIN)
expect_bounded("a huge script on standard input" 262144)
file(REMOVE "${work}/huge.sim")

# ---- an empty script, or one of blanks and comments only, does nothing and says nothing ----
file(WRITE "${work}/empty.sim" "")
file(WRITE "${work}/blank.sim" "\n \t\r\n# nothing\n")
foreach(name empty blank)
  run_on("${work}/${name}.sim" STDIN)
  if(NOT rc STREQUAL "0" OR NOT out STREQUAL "" OR NOT err STREQUAL "")
    message(FATAL_ERROR "${name} script on stdin: exit ${rc}, stdout [${out}], stderr [${err}]")
  endif()
endforeach()

# ---- a script that cannot be read is an error, not an empty script ----
file(MAKE_DIRECTORY "${work}/a-folder.sim")
expect_refusal("a folder as the script" "${work}/a-folder.sim" "cannot read [^\n]+")
expect_refusal("a folder on standard input" "${work}/a-folder.sim" "cannot read [^\n]+" STDIN)

file(REMOVE_RECURSE "${work}")
