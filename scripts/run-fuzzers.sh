#!/usr/bin/env bash
# Runs every fuzz target in a folder for a few seconds each, starting from
# its seed corpus in fuzz/corpus/<target> when there is one. New inputs go to
# a scratch folder, never into the repository.
set -euo pipefail
dir=$1
seconds=${2:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
found=0
for target in "$dir"/*_fuzz; do
  [ -x "$target" ] || continue
  found=1
  name=$(basename "$target")
  scratch=$(mktemp -d)
  seeds=()
  [ -d "$root/fuzz/corpus/$name" ] && seeds+=("$root/fuzz/corpus/$name")
  echo "fuzz: $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=0 \
    "$scratch" "${seeds[@]}" 2>&1 | tail -n 3
  status=${PIPESTATUS[0]}
  rm -rf "$scratch"
  if [ "$status" -ne 0 ]; then
    echo "fuzz: $name FAILED (exit $status)"
    exit "$status"
  fi
done
[ "$found" -eq 1 ] || { echo "fuzz: no targets in $dir"; exit 1; }
