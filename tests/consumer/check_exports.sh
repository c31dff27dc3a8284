#!/usr/bin/env bash
# The installed shared libraries export what the headers declare and no
# more: no instantiation of the standard library's templates (std::,
# __gnu_cxx::), and no symbol that the installed headers do not account for
# (exported_names.py).
# Installed internal/ headers: each one reached from a public header.
# With the source tree as a second argument, the internal headers that
# modules share (exported, never installed: see exported_names.py) account
# for their names too.
set -euo pipefail
prefix=$1
source_root=${2:-}
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
done
# Every other exported name is one an installed header declares (internal
# names too: only where a public inline function reaches them); no lambda's
# or local class's type info.
shared=()
if [ -n "$source_root" ]; then
  shared_dir=$(mktemp -d)
  while IFS= read -r h; do
    [ -f "$prefix/include/$h" ] && continue
    mkdir -p "$shared_dir/$(dirname "$h")"
    cp "$source_root/$h" "$shared_dir/$h"
  done < <(cd "$source_root" && grep -rl --include='*.h' 'namespace vantrel VANTREL_API' vantrel | grep '/internal/' | sort)
  shared=(--shared "$shared_dir")
fi
python3 "$(dirname "$0")/exported_names.py" "${shared[@]}" "$include" "$libdir"/libvantrel_*.so || status=1
[ -z "$source_root" ] || rm -rf "$shared_dir"
# Every installed internal/ header is there because a public one includes it,
# directly or through another internal one; and each it includes is there.
reached=$(mktemp)
trap 'rm -f "$reached"' EXIT
queue=$(cd "$prefix/include" && find vantrel -name '*.h' -not -path '*/internal/*' | sort)
while [ -n "$queue" ]; do
  next=""
  while IFS= read -r h; do
    while IFS= read -r inc; do
      grep -qxF -- "$inc" "$reached" && continue
      echo "$inc" >>"$reached"
      if [ ! -f "$prefix/include/$inc" ]; then
        echo "$h includes $inc, which is not installed"
        status=1
        continue
      fi
      next+="$inc"$'\n'
    done < <(sed -E -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*["<](vantrel\/.*\/internal\/[^">]*)[">].*/\1/p' "$prefix/include/$h")
  done <<<"$queue"
  queue=${next%$'\n'}
done
internal=0
while IFS= read -r h; do
  internal=$((internal + 1))
  if ! grep -qxF -- "$h" "$reached"; then
    echo "$h is installed, but no installed public header reaches it"
    status=1
  fi
done < <(cd "$prefix/include" && find vantrel -path '*/internal/*.h' | sort)
echo "exports: $total symbols in $(ls "$libdir"/libvantrel_*.so | wc -l) libraries; $internal internal headers installed"
exit $status
