#!/usr/bin/env bash
# The installed shared libraries export what the headers declare and no
# more: no instantiation of the standard library's templates (std::,
# __gnu_cxx::) and no name of an internal namespace that no installed
# header declares.
set -euo pipefail
prefix=$1
libdir=$(find "$prefix" -name 'libvantrel_core.so*' -type f -printf '%h\n' | head -n 1)
include="$prefix/include/vantrel"
status=0
total=0
shopt -s nullglob
for lib in "$libdir"/libvantrel_*.so; do
  name=$(basename "$lib")
  mangled=$(nm -D --defined-only "$lib" | awk '{print $3}')
  total=$((total + $(wc -l <<<"$mangled")))
  std=$(grep -E '^_Z(T[VIS]|GVZ|GV|Z|Th[n0-9_]*|Tv[n0-9_]*)?N?[KVRO]*(St|9__gnu_cxx)' <<<"$mangled" || true)
  if [ -n "$std" ]; then
    echo "$name exports $(wc -l <<<"$std") standard-library symbols, e.g.:"
    head -n 5 <<<"$std" | c++filt | sed 's/^/  /'
    status=1
  fi
  # An internal name is allowed only where a public inline function reaches
  # it, which means an installed header declares it.
  while read -r symbol; do
    id=$(sed -E 's/.*_internal::([A-Za-z_][A-Za-z0-9_]*).*/\1/' <<<"$symbol")
    if ! grep -rqw -- "$id" "$include"; then
      echo "$name exports an internal name no header declares: $symbol"
      status=1
    fi
  done < <(nm -DC --defined-only "$lib" | cut -d' ' -f3- | grep '_internal::' || true)
done
echo "exports: $total symbols in $(ls "$libdir"/libvantrel_*.so | wc -l) libraries"
exit $status
