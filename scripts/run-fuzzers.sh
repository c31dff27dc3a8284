#!/usr/bin/env bash
# Runs every fuzz target in a folder for a few seconds each, several at once
# (JOBS, default the number of processors), starting from its seed corpus
# in fuzz/corpus/<target> when there is one. New inputs go to a scratch
# folder, never into the repository.
#   run-fuzzers.sh <folder> [seconds]
set -euo pipefail
dir=$1
seconds=${2:-5}
jobs=${JOBS:-$(nproc)}
root=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob

targets=()
for target in "$dir"/*_fuzz; do
  [ -x "$target" ] && targets+=("$target")
done
[ ${#targets[@]} -gt 0 ] || { echo "fuzz: no targets in $dir"; exit 1; }

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

# One target: its last lines into its log, its status into <name>.status.
run_one() {
  local target=$1 name scratch status
  name=$(basename "$target")
  scratch=$(mktemp -d)
  local seeds=()
  [ -d "$root/fuzz/corpus/$name" ] && seeds+=("$root/fuzz/corpus/$name")
  set +e
  "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=0 \
    "$scratch" "${seeds[@]}" >"$logs/$name.log" 2>&1
  status=$?
  set -e
  rm -rf "$scratch"
  echo "$status" >"$logs/$name.status"
}
export -f run_one
export root seconds logs

echo "fuzz: ${#targets[@]} targets, ${seconds}s each, $jobs at a time"
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$1"' _ {}

failed=0
for target in "${targets[@]}"; do
  name=$(basename "$target")
  status=$(cat "$logs/$name.status" 2>/dev/null || echo 1)
  if [ "$status" -ne 0 ]; then
    echo "fuzz: $name FAILED (exit $status)"
    tail -n 40 "$logs/$name.log"
    failed=1
  else
    echo "fuzz: $name ok ($(tail -n 1 "$logs/$name.log"))"
  fi
done
exit $failed
