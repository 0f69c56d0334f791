# One bounded fuzz run: FUZZER for SECONDS on a fresh copy of the seed corpus SEEDS in WORK.
# A crash, a sanitizer report or a broken rule fails the test; the input that did it is kept in
# WORK/artifacts (add it to SEEDS once the fault is fixed).
foreach(name FUZZER SEEDS WORK SECONDS)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "run_fuzz.cmake needs -D${name}=...")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/artifacts)
file(GLOB seeds ${SEEDS}/*)
if(seeds)
  file(COPY ${seeds} DESTINATION ${WORK}/corpus)
endif()
# At a lower priority: the suite runs these beside tests that wait for Wine and count time.
find_program(NICE nice)
set(prefix)
if(NICE)
  set(prefix ${NICE} -n 10)
endif()
execute_process(
  COMMAND ${prefix} ${FUZZER} -max_total_time=${SECONDS} -rss_limit_mb=2048 -timeout=10 -print_final_stats=1
          -artifact_prefix=${WORK}/artifacts/ ${WORK}/corpus
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}); the input is in ${WORK}/artifacts")
endif()
