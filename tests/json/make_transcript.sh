#!/usr/bin/env bash
# Writes the JSON transcript of the source tree given, on standard output:
# the documents of make_transcript_documents.py, read and written by that
# tree's json module through the transcript program
# (json_transcript_test.cpp built with VANTREL_JSON_TRANSCRIPT_MAIN).
#
#   git worktree add --detach /tmp/json-then 21e8e7a
#   tests/json/make_transcript.sh /tmp/json-then > transcript.txt
#
# The tree's libraries are built in <tree>/build-transcript (Release), or in
# the build folder given second.
set -euo pipefail
tree=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
build="${2:-$tree/build-transcript}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_TESTS=OFF \
  -DVANTREL_BUILD_EXAMPLES=OFF >/dev/null
cmake --build "$build" --target vantrel_json -j 3 >/dev/null
libs=()
for m in json collections text core posix; do
  [ -f "$build/vantrel/libvantrel_$m.a" ] && libs+=("$build/vantrel/libvantrel_$m.a")
done
g++ -std=c++20 -O1 -DVANTREL_JSON_TRANSCRIPT_MAIN -I"$tree" "$here/json_transcript_test.cpp" "${libs[@]}" \
  $(pkg-config --libs icu-i18n icu-uc fmt) -o "$work/transcript"
python3 "$here/make_transcript_documents.py" "$work/documents.txt"
"$work/transcript" < "$work/documents.txt"
