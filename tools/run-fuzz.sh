#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer, UBSan) and runs each for SECONDS
# (600 unless given), all at once, on a corpus that starts from the committed seeds and grows in build/fuzz.
# A crash stops with its input saved beside the corpus and makes the run fail. Prints, per target,
# the executions and the coverage reached.
#   run-fuzz.sh [SECONDS]
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
cmake --preset fuzz >/dev/null && cmake --build --preset fuzz >/dev/null || exit 1
status=0
results=()
pids=()
targets=(text_file string_ops word_choice word_line)
# The targets run side by side, each for the whole time: a short run then costs one run's time.
for target in "${targets[@]}"; do
  corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus" build/fuzz/crashes
  cp -n tests/fuzz/seeds/$target/* "$corpus"/ 2>/dev/null || true
  echo "== fuzzing $target for ${seconds}s"
  # One input of the word choice can take seconds: without an acceptable word every line is tried.
  build/fuzz/tests/fuzz/${target}_fuzz -max_total_time="$seconds" -timeout=120 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix=build/fuzz/crashes/$target- "$corpus" \
    >"build/fuzz/$target.log" 2>&1 &
  pids+=($!)
done
for i in "${!targets[@]}"; do
  target=${targets[$i]}
  corpus=build/fuzz/corpus/$target
  log=build/fuzz/$target.log
  wait "${pids[$i]}"
  code=$?
  executions=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$')
  coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)
  if [ $code -ne 0 ]; then
    status=1
    grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -n 5
    results+=("$target: FAILED (see $log)")
  else
    results+=("$target: ${executions:-?} executions, $coverage, corpus $(ls "$corpus" | wc -l) inputs")
  fi
done
echo "== fuzzing summary"
printf '%s\n' "${results[@]}"
exit $status
