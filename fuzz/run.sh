#!/usr/bin/env bash
# Builds the fuzz targets and runs each for SECONDS (default 60): first the
# inputs kept under fuzz/regressions/<target>/, then fuzzing that starts from
# a copy of fuzz/corpus/<target>/, so the checkout is never written to.
# Prints libFuzzer's figures per target; a crashing input is kept under
# build-fuzz/artifacts/ and printed in base64.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets=(fuzz_pod_file fuzz_settings_store fuzz_pod_replies fuzz_record_line)

cmake --preset fuzz
cmake --build --preset fuzz -j "$(nproc)"

export UBSAN_OPTIONS=print_stacktrace=1
if ! command -v llvm-symbolizer >/dev/null && command -v llvm-symbolizer-14 >/dev/null; then
  export ASAN_SYMBOLIZER_PATH=$(command -v llvm-symbolizer-14)
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts=$PWD/build-fuzz/artifacts
rm -rf "$artifacts"
mkdir -p "$artifacts"

report_failure() { # target, log
  echo "$1: FAILED"
  tail -n 60 "$2"
  for input in "$artifacts/$1"-*; do
    [[ -e $input ]] || continue
    echo "input $input, base64:"
    base64 "$input" | head -c 20000
    echo
  done
}

failed=0
for target in "${targets[@]}"; do
  program=build-fuzz/fuzz/$target
  regressions=fuzz/regressions/$target
  corpus=("$work/$target")
  if compgen -G "$regressions/*" >/dev/null; then
    if ! "$program" -artifact_prefix="$artifacts/$target-" "$regressions"/* \
        >"$work/$target-regressions.log" 2>&1; then
      report_failure "$target" "$work/$target-regressions.log"
      failed=1
      continue
    fi
    corpus+=("$regressions")
  fi
  mkdir "$work/$target"
  cp fuzz/corpus/"$target"/* "$work/$target"/

  options=(-max_total_time="$seconds" -timeout=30 -print_final_stats=1
           -artifact_prefix="$artifacts/$target-")
  [[ -f fuzz/$target.dict ]] && options+=(-dict="fuzz/$target.dict")
  # The settings store reports every file it cannot parse on standard error.
  [[ $target == fuzz_settings_store ]] && options+=(-close_fd_mask=2)
  log=$work/$target.log
  if ! "$program" "${options[@]}" "${corpus[@]}" >"$log" 2>&1; then
    report_failure "$target" "$log"
    failed=1
    continue
  fi
  echo "$target: $(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1)"
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' \
    "$log" | sed 's/^/  /'
done
exit "$failed"
