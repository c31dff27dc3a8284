#!/usr/bin/env bash
# Fails when the includes of module code (vantrel/**) leave the module graph
# declared in vantrel/CMakeLists.txt:
# - a source includes a header of a module that its module's DEPENDS does
#   not list (the libraries link only what DEPENDS lists, so such a use
#   builds in the static test libraries and fails, or drags a library in,
#   only when the shared libraries link);
# - a source includes another module's internal header (internal names are
#   hidden in the module libraries), unless the header exports what it
#   declares (it opens `namespace vantrel VANTREL_API`): plumbing that
#   modules share without installing it as API;
# - a forwarding header exists (one holding nothing but the include of
#   another), or a source includes one: module code names the header that
#   holds the code, so the graph sees the module that really holds it;
# - a module's DEPENDS lists a module none of its sources include;
# - an include relative to the including file ("internal/x.h", "../x.h"):
#   includes name the header from the tree root, as the install walk and
#   programs read them; or one the check cannot read (a macro).
# Both root spellings count, "vantrel/..." and <vantrel/...>, and a relative
# include is also checked as the path it reaches. vantrel/api.h, the export
# macro, belongs to no module and every module may include it. A file
# belongs to the module whose DIRS holds it (the longest folder that
# matches). The table is read through cmake/VantrelModuleTable.cmake, as the
# build reads it; the files are git's, or, without .git (a source tarball),
# every .h and .cpp under vantrel/. The build runs this check before it
# compiles a module (target vantrel_module_check).
#
#   scripts/check-module-internals.sh          # checks the tree, exit 1 on findings
#
# Before the tree, the checker runs on a built-in sample and stops if it
# misses a known case or flags a sound one, so a broken parser cannot pass
# silently.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# Prints one finding per line for the tree at $1 (its vantrel/CMakeLists.txt,
# read through cmake/VantrelModuleTable.cmake, and the files listed on
# standard input, relative to $1).
findings() {
  local tree=$1
  (
    cd "$tree"
    # Module table: "module <name> dirs <d...> exclude <d...> depends <m...>".
    if ! "${CMAKE:-cmake}" -DSOURCE_DIR="$tree" -P "$root/cmake/VantrelModuleTable.cmake"; then
      echo "table-error"
    fi
    mapfile -t files
    [ ${#files[@]} -gt 0 ] || exit 0
    # Forwarding headers: only comments, blank lines, #pragma once and one
    # include, in any spelling.
    printf '%s\n' "${files[@]}" | grep '\.h$' | xargs -r awk '
      function verdict() { if (prev != "" && lines == 2 && pragma && include) print "forward " prev }
      FNR == 1 { verdict(); prev = FILENAME; lines = 0; pragma = 0; include = 0 }
      {
        line = $0; sub(/\/\/.*/, "", line)
        if (line ~ /^[[:space:]]*$/) next
        lines++
        if (line ~ /^[[:space:]]*#[[:space:]]*pragma[[:space:]]+once[[:space:]]*$/) pragma = 1
        else if (line ~ /^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^">]*[">][[:space:]]*$/) include = 1
      }
      END { verdict() }'
    # Internal headers that export their names (see above).
    printf '%s\n' "${files[@]}" | grep '/internal/.*\.h$' | xargs -r grep -l 'namespace vantrel VANTREL_API' |
      sed 's/^/exported /' || true
    # Every include, in every spelling: "vantrel/...", <vantrel/...>, and
    # paths relative to the including file ("internal/x.h", "../x.h"),
    # which the compiler tries first for the quoted form. Printed as the
    # tree path it reaches; an include the check cannot read (a macro)
    # is a finding of its own.
    printf '%s\n' "${files[@]}" | xargs -r awk '
      function exists(path,   line, ok) {
        ok = (getline line < path) >= 0
        close(path)
        return ok
      }
      function normal(path,   n, parts, out, k, i) {
        n = split(path, parts, "/"); k = 0
        for (i = 1; i <= n; i++) {
          if (parts[i] == "" || parts[i] == ".") continue
          if (parts[i] == "..") { if (k > 0) k--; else return ""; continue }
          out[++k] = parts[i]
        }
        path = ""
        for (i = 1; i <= k; i++) path = path (i > 1 ? "/" : "") out[i]
        return path
      }
      /^[[:space:]]*#[[:space:]]*include/ {
        line = $0
        sub(/^[[:space:]]*#[[:space:]]*include(_next)?[[:space:]]*/, "", line)
        dir = FILENAME; sub(/\/?[^\/]*$/, "", dir)
        if (line ~ /^"[^"]*"/) {
          spec = substr(line, 2); sub(/".*/, "", spec)
          near = normal(dir "/" spec)
          if (near ~ /^vantrel\// && exists(near)) {
            print "relative " FILENAME " " spec " " near
            print "include " FILENAME " " near
            next
          }
        } else if (line ~ /^<[^>]*>/) {
          spec = substr(line, 2); sub(/>.*/, "", spec)
        } else {
          print "unreadable " FILENAME " " FNR
          next
        }
        path = normal(spec)
        if (path ~ /^vantrel\//) print "include " FILENAME " " path
      }'
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
      name = $2; order[++count] = name; dirs[name] = ""; key = ""
      for (i = 3; i <= NF; i++) {
        if ($i == "dirs" || $i == "exclude" || $i == "depends") { key = $i; continue }
        if (key == "dirs") dirs[name] = dirs[name] " " $i
        if (key == "depends") { deps[name, $i] = 1; deplist[name] = deplist[name] " " $i }
      }
      next
    }
    $1 == "table-error" { print "vantrel/CMakeLists.txt: the module table does not read (see the message above)"; next }
    $1 == "forward" { forward[$2] = 1; next }
    $1 == "exported" { exported[$2] = 1; next }
    $1 == "unreadable" { print $2 ":" $3 ": an include the check cannot read (name the header)"; next }
    $1 == "relative" { print $2 ": includes " $3 " by a relative path (name it from the tree root: " $4 ")"; next }
    $1 == "include" { file[++n_inc] = $2; inc[n_inc] = $3; next }
    END {
      for (f in forward)
        print f ": a forwarding header (holds only the include of another; name that one instead)"
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
        if (inc[i] ~ /\/internal\// && !(inc[i] in exported))
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
printf '#pragma once\n#  include <vantrel/low/a.h>  // moved\n' >"$sample/vantrel/low/older.h"
printf '#pragma once\n#include "vantrel/low/a.h"\n#include "vantrel/api.h"\nint m();\n' >"$sample/vantrel/mid/m.h"
printf '#pragma once\nint i();\n' >"$sample/vantrel/mid/internal/i.h"
printf '#pragma once\n#include "vantrel/api.h"\nnamespace vantrel VANTREL_API {\nint e();\n}\n' >"$sample/vantrel/mid/internal/e.h"
printf '#include "vantrel/platform/mid/p.h"\n#include "vantrel/mid/internal/i.h"\n  #include "vantrel/low/old.h"\n' >"$sample/vantrel/mid/m.cpp"
printf '#include "internal/i.h"\n#include "./m.h"\n#include <vector>\n#include "config.h"\n' >"$sample/vantrel/mid/m2.cpp"
printf '#pragma once\n#include "vantrel/mid/m.h"\nint p();\n' >"$sample/vantrel/platform/mid/p.h"
printf '#include "vantrel/mid/m.h"\n' >"$sample/vantrel/mid/nested/n.cpp"
printf '#include "vantrel/mid/m.h"\n#include "vantrel/low/a.h"\n#include "vantrel/mid/internal/i.h"\n#include "vantrel/mid/internal/e.h"\n' >"$sample/vantrel/top/t.cpp"
printf '#include <vantrel/mid/m.h>\n# include <vantrel/low/a.h>\n#include "../mid/internal/i.h"\n#include <vantrel/top/../low/a.h>\n#include VANTREL_HEADER\n// #include <vantrel/low/a.h>\n' >"$sample/vantrel/top/forms.cpp"
expected='module nested: DEPENDS lists low, which none of its sources include
vantrel/low/old.h: a forwarding header (holds only the include of another; name that one instead)
vantrel/low/older.h: a forwarding header (holds only the include of another; name that one instead)
vantrel/mid/m.cpp: includes vantrel/low/old.h, a forwarding header (name the header it includes)
vantrel/mid/m2.cpp: includes ./m.h by a relative path (name it from the tree root: vantrel/mid/m.h)
vantrel/mid/m2.cpp: includes internal/i.h by a relative path (name it from the tree root: vantrel/mid/internal/i.h)
vantrel/top/forms.cpp: includes ../mid/internal/i.h by a relative path (name it from the tree root: vantrel/mid/internal/i.h)
vantrel/top/forms.cpp: includes vantrel/low/a.h of module low, which the DEPENDS of top does not list
vantrel/top/forms.cpp: includes vantrel/low/a.h of module low, which the DEPENDS of top does not list
vantrel/top/forms.cpp: includes vantrel/mid/internal/i.h, an internal header of module mid
vantrel/top/forms.cpp:5: an include the check cannot read (name the header)
vantrel/top/t.cpp: includes vantrel/low/a.h of module low, which the DEPENDS of top does not list
vantrel/top/t.cpp: includes vantrel/mid/internal/i.h, an internal header of module mid'
got=$(cd "$sample" && find vantrel -name '*.h' -o -name '*.cpp' | sort | findings "$sample" | LC_ALL=C sort)
if [ "$got" != "$expected" ]; then
  echo "check-module-internals: the checker fails its own sample; expected:"
  echo "$expected"
  echo "got:"
  echo "$got"
  exit 2
fi

cd "$root"
# A source tarball has no .git: then every file of the tree counts.
list_sources() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files --cached --others --exclude-standard 'vantrel/*.cpp' 'vantrel/*.h'
  else
    find vantrel -type f \( -name '*.cpp' -o -name '*.h' \) | sort
  fi
}
result=$(list_sources | findings "$root")
if [ -n "$result" ]; then
  echo "$result"
  exit 1
fi
