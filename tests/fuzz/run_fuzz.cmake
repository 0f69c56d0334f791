# One fuzz test: FUZZER replays every seed in SEEDS, then fuzzes for SECONDS from a fresh copy of
# them in WORK. A crash, a sanitizer report or a broken rule fails the test; the input that did it
# is kept in WORK/artifacts (add it to SEEDS once the fault is fixed).
foreach(name FUZZER SEEDS WORK SECONDS)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "run_fuzz.cmake needs -D${name}=...")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/artifacts)
file(GLOB seeds ${SEEDS}/*)
if(NOT seeds)
  message(FATAL_ERROR "no seeds in ${SEEDS}")
endif()
file(COPY ${seeds} DESTINATION ${WORK}/corpus)
# At a lower priority: the suite runs these beside tests that wait for Wine.
find_program(NICE nice)
set(prefix)
if(NICE)
  set(prefix ${NICE} -n 10)
endif()
# Each seed once, by name: the cases that once found a fault run every time.
execute_process(COMMAND ${prefix} ${FUZZER} -rss_limit_mb=2048 -timeout=10 -artifact_prefix=${WORK}/artifacts/ ${seeds}
                WORKING_DIRECTORY ${WORK} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed on a seed (${result}); the input is in ${WORK}/artifacts")
endif()
execute_process(
  COMMAND ${prefix} ${FUZZER} -max_total_time=${SECONDS} -rss_limit_mb=2048 -timeout=10 -print_final_stats=1
          -artifact_prefix=${WORK}/artifacts/ ${WORK}/corpus
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}); the input is in ${WORK}/artifacts")
endif()
