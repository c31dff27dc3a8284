#!/usr/bin/env bash
# Fails when the includes of module code (vantrel/**) leave the module graph
# declared in vantrel/CMakeLists.txt:
# - a source includes a header of a module that its module's DEPENDS does
#   not list (the libraries link only what DEPENDS lists, so such a use
#   builds in the static test libraries and fails, or drags a library in,
#   only when the shared libraries link);
# - a source includes another module's internal header (internal names are
#   hidden in the module libraries);
# - a source includes a forwarding header (one left at a header's old path,
#   holding nothing but the include of its new one): module code names the
#   new path, so the graph sees the module that really holds the code;
# - a module's DEPENDS lists a module none of its sources include.
# A file belongs to the module whose DIRS holds it (the longest folder that
# matches); forwarding headers are left out of the first check, since they
# may stay in a lower module's folder while naming a higher one.
#
#   scripts/check-module-internals.sh          # checks the tree, exit 1 on findings
#
# Before the tree, the checker runs on a built-in sample and stops if it
# misses a known case or flags a sound one, so a broken parser cannot pass
# silently.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# Prints one finding per line for the tree at $1 (its vantrel/CMakeLists.txt
# and the files listed on standard input, relative to $1).
findings() {
  local tree=$1
  (
    cd "$tree"
    # Module table: "module <name> dirs <d...> depends <m...>" lines.
    sed 's/#.*//' vantrel/CMakeLists.txt | tr '\n' ' ' | grep -o 'vantrel_add_module([^)]*)' |
      sed 's/vantrel_add_module(//; s/)$//' |
      awk '{
        printf "module %s", $1
        key = ""
        for (i = 2; i <= NF; i++) {
          if ($i ~ /^(DIRS|DEPENDS|EXCLUDE|LIBS|PUBLIC_LIBS|X11_LIBS|IF)$/) { key = $i; continue }
          if (key == "DIRS") printf " dir:%s", $i
          if (key == "DEPENDS") printf " dep:%s", $i
        }
        printf "\n"
      }'
    mapfile -t files
    [ ${#files[@]} -gt 0 ] || exit 0
    # Forwarding headers: only comments, blank lines, #pragma once and one
    # include.
    printf '%s\n' "${files[@]}" | grep '\.h$' | xargs -r awk '
      function verdict() { if (prev != "" && lines == 2 && pragma && include) print "forward " prev }
      FNR == 1 { verdict(); prev = FILENAME; lines = 0; pragma = 0; include = 0 }
      {
        line = $0; sub(/\/\/.*/, "", line)
        if (line ~ /^[[:space:]]*$/) next
        lines++
        if (line == "#pragma once") pragma = 1
        else if (line ~ /^#include "vantrel\/[^"]*"$/) include = 1
      }
      END { verdict() }'
    printf '%s\n' "${files[@]}" | xargs -r grep -H -o '^[[:space:]]*#[[:space:]]*include "vantrel/[^"]*"' |
      sed 's/^\([^:]*\):.*"\(.*\)"$/include \1 \2/' || true
  ) | awk '
    function module_of(path,   p, best, len, m, d) {
      p = substr(path, length("vantrel/") + 1)
      best = ""; len = -1
      for (m in dirs) {
        n = split(dirs[m], ds, " ")
        for (d = 1; d <= n; d++) {
          if (index(p, ds[d] "/") == 1 && length(ds[d]) > len) { best = m; len = length(ds[d]) }
        }
      }
      return best
    }
    $1 == "module" {
      name = $2; order[++count] = name; dirs[name] = ""
      for (i = 3; i <= NF; i++) {
        if ($i ~ /^dir:/) dirs[name] = dirs[name] " " substr($i, 5)
        if ($i ~ /^dep:/) { deps[name, substr($i, 5)] = 1; deplist[name] = deplist[name] " " substr($i, 5) }
      }
      next
    }
    $1 == "forward" { forward[$2] = 1; next }
    $1 == "include" { file[++n_inc] = $2; inc[n_inc] = $3; next }
    END {
      for (i = 1; i <= n_inc; i++) {
        # The export macro belongs to no module; every module includes it.
        if (inc[i] == "vantrel/api.h") continue
        own = module_of(file[i]); target = module_of(inc[i])
        if (own == "") { print file[i] ": in no module'"'"'s DIRS"; continue }
        if (target == "") { print file[i] ": includes " inc[i] ", in no module'"'"'s DIRS"; continue }
        if (inc[i] in forward)
          print file[i] ": includes " inc[i] ", a forwarding header (name the header it includes)"
        if (target == own) continue
        used[own, target] = 1
        if (inc[i] ~ /\/internal\//)
          print file[i] ": includes " inc[i] ", an internal header of module " target
        if (!((own, target) in deps) && !(file[i] in forward))
          print file[i] ": includes " inc[i] " of module " target ", which the DEPENDS of " own " does not list"
      }
      for (k = 1; k <= count; k++) {
        m = order[k]
        n = split(deplist[m], ds, " ")
        for (d = 1; d <= n; d++)
          if (!((m, ds[d]) in used)) print "module " m ": DEPENDS lists " ds[d] ", which none of its sources include"
      }
    }'
}

# The built-in sample: what the checker must find, and nothing more.
sample=$(mktemp -d)
trap 'rm -rf "$sample"' EXIT
mkdir -p "$sample"/vantrel/{low,mid/nested,mid/internal,top,platform/mid}
cat >"$sample/vantrel/CMakeLists.txt" <<'EOF'
# a comment naming vantrel_add_module(ghost DIRS top)
vantrel_add_module(low DIRS low)
vantrel_add_module(mid DIRS mid platform/mid EXCLUDE mid/nested DEPENDS low
  LIBS fmt::fmt)
vantrel_add_module(nested DIRS mid/nested DEPENDS mid low)
vantrel_add_module(top DIRS top DEPENDS mid)
EOF
printf '#pragma once\nint a();\n' >"$sample/vantrel/low/a.h"
printf '// File: vantrel/low/old.h\n//\n// Moved.\n#pragma once\n\n#include "vantrel/low/a.h"\n' >"$sample/vantrel/low/old.h"
printf '#pragma once\n#include "vantrel/low/a.h"\nint m();\n' >"$sample/vantrel/mid/m.h"
printf '#pragma once\nint i();\n' >"$sample/vantrel/mid/internal/i.h"
printf '#include "vantrel/platform/mid/p.h"\n#include "vantrel/mid/internal/i.h"\n  #include "vantrel/low/old.h"\n' >"$sample/vantrel/mid/m.cpp"
printf '#pragma once\n#include "vantrel/mid/m.h"\nint p();\n' >"$sample/vantrel/platform/mid/p.h"
printf '#include "vantrel/mid/m.h"\n' >"$sample/vantrel/mid/nested/n.cpp"
printf '#include "vantrel/mid/m.h"\n#include "vantrel/low/a.h"\n#include "vantrel/mid/internal/i.h"\n' >"$sample/vantrel/top/t.cpp"
expected='module nested: DEPENDS lists low, which none of its sources include
vantrel/mid/m.cpp: includes vantrel/low/old.h, a forwarding header (name the header it includes)
vantrel/top/t.cpp: includes vantrel/low/a.h of module low, which the DEPENDS of top does not list
vantrel/top/t.cpp: includes vantrel/mid/internal/i.h, an internal header of module mid'
got=$(cd "$sample" && find vantrel -name '*.h' -o -name '*.cpp' | sort | findings "$sample" | sort)
if [ "$got" != "$expected" ]; then
  echo "check-module-internals: the checker fails its own sample; expected:"
  echo "$expected"
  echo "got:"
  echo "$got"
  exit 2
fi

cd "$root"
result=$(git ls-files --cached --others --exclude-standard 'vantrel/*.cpp' 'vantrel/*.h' | findings "$root")
if [ -n "$result" ]; then
  echo "$result"
  exit 1
fi
