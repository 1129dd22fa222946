# Runs one fuzzer for a bounded time on a fresh copy of its seeds.
#   cmake -DFUZZER=exe -DSEEDS=dir -DWORK=dir [-DDICT=file] -DSECONDS=n -P run_fuzz.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/artifacts)
file(COPY ${SEEDS}/ DESTINATION ${WORK}/corpus)
set(args -max_total_time=${SECONDS} -timeout=10 -malloc_limit_mb=64 -print_final_stats=1
         -artifact_prefix=${WORK}/artifacts/)
if(DICT)
  list(APPEND args -dict=${DICT})
endif()
execute_process(COMMAND ${FUZZER} ${args} ${WORK}/corpus RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${FUZZER} found a fault (exit ${rc}); the input is in ${WORK}/artifacts")
endif()
