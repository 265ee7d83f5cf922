#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time, at low priority:
#   run_fuzzers.sh BUILD_DIR SECONDS [TARGET...]
# (FUZZ_EXCLUDE names targets to leave out.)
# Each target runs over all its inputs (its corpus, seeds and the regression
# inputs in tests/fuzz/regressions/TARGET), then fuzzes for SECONDS more.
# Crashes, leaks, undefined behaviour, an allocation over 64 MB or an input
# over 10 s fail the run (the input is kept in BUILD_DIR/fuzz/artifacts).
# Inputs under 1 KB that take over 100 ms are named, not failed.
set -uo pipefail
build=$(cd "$1" && pwd)
seconds=$2
shift 2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
list="$build/fuzz/targets.txt"
[ -f "$list" ] || { echo "no fuzz targets in $build (configure with -DKORVEN_FUZZ=ON)" >&2; exit 2; }

total=0
failed=()
slow=()
while read -r name seeds; do
  if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then continue; fi
  if [[ " ${FUZZ_EXCLUDE:-} " == *" $name "* ]]; then continue; fi
  corpus="$build/fuzz/corpus/$name"
  artifacts="$build/fuzz/artifacts/$name/"
  mkdir -p "$corpus" "$artifacts"
  inputs=("$corpus")
  for s in $seeds "$source_dir/tests/fuzz/regressions/$name"; do [ -d "$s" ] && inputs+=("$s"); done
  log="$build/fuzz/$name.log"
  echo "== fuzz_$name: ${seconds}s"
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0 \
  nice -n 19 "$build/bin/fuzz_$name" -max_total_time="$seconds" -timeout=10 -malloc_limit_mb=64 \
    -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$artifacts" "${inputs[@]}" > "$log" 2>&1
  status=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  total=$((total + ${runs:-0}))
  echo "   ${runs:-0} executions, exit $status"
  if [ $status -ne 0 ]; then
    failed+=("$name")
    grep -E "ERROR|SUMMARY|runtime error|out-of-memory|Test unit written" "$log" | head -20
    continue
  fi
  # Every replaying process runs its inputs twice and only the second round is
  # timed, so that one-time start-up (fonts, plug-ins, caches) is not charged.
  mapfile -t small < <(find "${inputs[@]}" -type f -size -1024c)
  if [ ${#small[@]} -gt 0 ]; then
    printf '%s\n' "${small[@]}" |
      xargs -d '\n' -n 500 bash -c 'exec nice -n 19 "$0" -runs=1 "$@" "$@"' "$build/bin/fuzz_$name" 2>&1 |
      awk -v target="$name" '/^Executed .* in [0-9]+ ms/ { ms[$2] = $(NF-1) + 0 }
        END { for (input in ms) if (ms[input] > 100) print target ": " input " took " ms[input] " ms" }' > "$build/fuzz/$name.slow"
    while read -r line; do slow+=("$line"); done < "$build/fuzz/$name.slow"
  fi
done < "$list"

echo "total executions: $total"
for line in "${slow[@]+"${slow[@]}"}"; do echo "slow: $line"; done
if [ ${#failed[@]} -gt 0 ]; then
  echo "failed: ${failed[*]} (inputs in $build/fuzz/artifacts)"
  exit 1
fi
