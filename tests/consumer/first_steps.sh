#!/usr/bin/env bash
# Builds and runs the programs of the README's "First steps" section against
# the installed libraries, so the README cannot drift from the library.
#
# In that section, a fenced block is a file of the example project when its
# first line is `// first-steps: <name>` or `# first-steps: <name>` (sources,
# CMakeLists.txt; the line stays in the file) or its opening fence says
# `first-steps: <name>` (data files). A block whose fence says
# `first-steps-output: <program>` is what that program prints, byte for byte,
# when run in a folder holding the project's files.
#
#   first_steps.sh <build dir> <README.md> <work dir> <c++ compiler> [<flags>]
set -euo pipefail
build_dir=$1
readme=$2
work=$3
cxx=$4
flags=${5:-}
cmake=${CMAKE:-cmake}  # the CMake that configured the tree, when the test passes it

rm -rf "$work"
mkdir -p "$work/src" "$work/expected"
prefix="$work/prefix"
"$cmake" --install "$build_dir" --prefix "$prefix" >"$work/install.log"

awk -v src="$work/src" -v expected="$work/expected" '
  function fail(message) { print FILENAME ":" FNR ": " message > "/dev/stderr"; failed = 1; exit 1 }
  function target(kind, name) {
    if (name !~ /^[A-Za-z0-9_.-]+$/) fail("bad first-steps name \"" name "\"")
    path = (kind == "output" ? expected : src) "/" name
    if (path in seen) fail("first-steps name \"" name "\" used twice")
    seen[path] = 1
    return path
  }
  /^## / && !fence { section = ($0 == "## First steps"); next }
  !section { next }
  !fence && /^```/ {
    fence = 1; first = 1; out = ""
    if (match($0, /first-steps-output: [^ ]+$/)) out = target("output", substr($0, RSTART + 20))
    else if (match($0, /first-steps: [^ ]+$/)) out = target("file", substr($0, RSTART + 13))
    next
  }
  fence && /^```[ \t]*$/ { if (out != "") close(out); fence = 0; next }
  fence {
    if (first && out == "" && match($0, /^(\/\/|#) first-steps: [^ ]+$/))
      out = target("file", substr($0, index($0, ": ") + 2))
    first = 0
    if (out != "") print > out
  }
  END { if (!failed && fence) fail("unclosed code block") }
' "$readme"

[ -f "$work/src/CMakeLists.txt" ] || { echo "no first-steps CMakeLists.txt in $readme" >&2; exit 1; }
shopt -s nullglob
outputs=("$work"/expected/*)
[ ${#outputs[@]} -gt 0 ] || { echo "no first-steps output blocks in $readme" >&2; exit 1; }

"$cmake" -S "$work/src" -B "$work/build" -G Ninja "-DCMAKE_PREFIX_PATH=$prefix" "-DCMAKE_CXX_COMPILER=$cxx" \
  "-DCMAKE_CXX_FLAGS=$flags" "-DCMAKE_EXE_LINKER_FLAGS=$flags" >"$work/configure.log" 2>&1 ||
  { cat "$work/configure.log"; exit 1; }
"$cmake" --build "$work/build" >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }

# Every program the project builds shows what it prints.
status=0
for source in "$work"/src/*.cpp; do
  program=$(basename "$source" .cpp)
  if [ ! -f "$work/expected/$program" ]; then
    echo "$program: the README shows no first-steps-output block for it"
    status=1
  fi
done
for want in "${outputs[@]}"; do
  program=$(basename "$want")
  run="$work/run/$program"
  mkdir -p "$run"
  cp "$work"/src/* "$run/"
  if ! (cd "$run" && timeout 60 "$work/build/$program" >"$work/$program.out" 2>"$work/$program.err"); then
    echo "$program failed:"
    cat "$work/$program.err"
    status=1
  elif ! diff -u "$want" "$work/$program.out"; then
    echo "$program: output differs from the README (above: - README, + program)"
    status=1
  else
    echo "$program: ok"
  fi
done
exit $status
