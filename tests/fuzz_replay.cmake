# The fuzz targets as plain programs that replay the committed corpus once
# each, for builds without libFuzzer (the coverage build turns this on).
file(GLOB zorvane_clang_includes /usr/lib/llvm-*/lib/clang/*/include)
find_path(ZORVANE_FUZZED_DATA_PROVIDER_DIR fuzzer/FuzzedDataProvider.h HINTS ${zorvane_clang_includes})
if(NOT ZORVANE_FUZZED_DATA_PROVIDER_DIR)
  message(FATAL_ERROR "fuzzer/FuzzedDataProvider.h not found (it comes with clang)")
endif()
# That header alone: clang's own folder would hide the compiler's stddef.h.
set(zorvane_fdp_dir ${CMAKE_CURRENT_BINARY_DIR}/fuzzed_data_provider)
configure_file(${ZORVANE_FUZZED_DATA_PROVIDER_DIR}/fuzzer/FuzzedDataProvider.h
               ${zorvane_fdp_dir}/fuzzer/FuzzedDataProvider.h COPYONLY)

set(zorvane_fuzz_dir ${PROJECT_SOURCE_DIR}/fuzz)
foreach(target IN ITEMS events script)
  add_executable(${target}_replay ${zorvane_fuzz_dir}/${target}_fuzz.cpp fuzz_replay_main.cpp)
  set_target_properties(${target}_replay PROPERTIES AUTOMOC OFF)
  target_include_directories(${target}_replay SYSTEM PRIVATE ${zorvane_fdp_dir})
  target_link_libraries(${target}_replay PRIVATE zorvane_simlib zorvane_testing zorvane_warnings)
  add_test(NAME fuzz_replay_${target} COMMAND ${target}_replay ${zorvane_fuzz_dir}/corpus/${target})
endforeach()
