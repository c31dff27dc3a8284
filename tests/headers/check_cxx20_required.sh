#!/usr/bin/env bash
# A program compiled with an older standard than C++20 meets one error line
# naming C++20 (vantrel/api.h), whichever public header it includes first,
# and nothing else: the check must come before anything that fails under
# C++17, and end the compilation.
#
#   check_cxx20_required.sh <source dir> <file listing the headers> <c++ compiler>
set -uo pipefail
source_dir=$1
list=$2
cxx=$3
status=0
checked=0
while IFS= read -r header; do
  [ -n "$header" ] || continue
  checked=$((checked + 1))
  out=$(printf '#include "%s"\n' "$header" |
    "$cxx" -std=c++17 -fsyntax-only -I"$source_dir" -x c++ - 2>&1)
  errors=$(grep -E '(^|: )(fatal )?error:' <<<"$out")
  if [ "$(grep -c . <<<"$errors")" != 1 ] || ! grep -q 'C++20' <<<"$errors"; then
    echo "$header under -std=c++17 ($cxx): expected one error naming C++20, got:"
    grep -E 'error' <<<"$out" | head -n 5 | sed 's/^/  /'
    status=1
  fi
done <"$list"
[ "$checked" -gt 0 ] || { echo "no headers listed in $list"; exit 1; }
[ "$status" -ne 0 ] || echo "$checked headers: one error naming C++20 each under -std=c++17 ($cxx)"
exit $status
