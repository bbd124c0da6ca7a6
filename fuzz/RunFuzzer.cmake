# Runs one fuzz target for a few seconds on its seed corpus, as a CTest
# test: new inputs go to a fresh working corpus, findings to ARTIFACTS.
# Fails on any crash, leak, sanitizer report or time-out.
#   cmake -DFUZZER=... -DSEEDS=... -DWORK=... -DARTIFACTS=... -DSECONDS=...
#         [-DDICT=...] -P RunFuzzer.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}" "${ARTIFACTS}")
# The folder fuzzer's sandbox goes under TMPDIR: memory is much faster
# than a disk for the many small files it writes.
if(IS_DIRECTORY /dev/shm)
  set(ENV{TMPDIR} /dev/shm)
endif()
set(dict_option)
if(DICT)
  set(dict_option "-dict=${DICT}")
endif()
execute_process(
  COMMAND "${FUZZER}" -max_total_time=${SECONDS} -timeout=20 -close_fd_mask=3
          -print_final_stats=1 "-artifact_prefix=${ARTIFACTS}/" ${dict_option}
          "${WORK}" "${SEEDS}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} found a fault (exit ${result}); the input is in ${ARTIFACTS}")
endif()
