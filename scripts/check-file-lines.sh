#!/usr/bin/env bash
# The first line of a source, `// File: <path>`, names where the file is now:
# a reader who meets a header in an installed tree or a pasted excerpt finds
# it by that line. Files move; this check fails on a line that names any other
# path, and on a public header without one (internal headers and sources may
# leave it out).
#   scripts/check-file-lines.sh         reports, fails on a mismatch
#   scripts/check-file-lines.sh --fix   rewrites each wrong line to the path
set -euo pipefail
cd "$(dirname "$0")/.."
fix=0
if [ "${1:-}" = "--fix" ]; then
  fix=1
elif [ $# -gt 0 ]; then
  echo "usage: $0 [--fix]" >&2
  exit 2
fi
# One awk pass over every file: a process per file would take half a minute.
problems=$(find vantrel -type f \( -name '*.h' -o -name '*.cpp' \) -size +0 | LC_ALL=C sort | xargs awk '
  FNR == 1 {
    if ($0 == "// File: " FILENAME) { nextfile }
    if ($0 ~ /^\/\/ File:/) { print "mismatch\t" FILENAME "\t" $0; nextfile }
    pending[FILENAME] = 1
    next
  }
  /^\/\/ File:/ { print "notfirst\t" FILENAME; delete pending[FILENAME]; nextfile }
  END {
    for (f in pending) if (f ~ /\.h$/ && f !~ /\/internal\//) print "missing\t" f
  }')
status=0
fixed=0
mismatched=0
while IFS=$'\t' read -r kind file first; do
  case $kind in
    mismatch)
      if [ $fix = 1 ]; then
        # Only the first line changes; the rest of the file is copied as is.
        { printf '%s\n' "// File: $file"; tail -n +2 "$file"; } >"$file.file-line"
        cat "$file.file-line" >"$file"
        rm "$file.file-line"
        fixed=$((fixed + 1))
      else
        echo "$file: first line names another path: $first"
        mismatched=$((mismatched + 1))
        status=1
      fi
      ;;
    notfirst)
      echo "$file: the // File: line is not the first line"
      status=1
      ;;
    missing)
      echo "$file: public header without a // File: line"
      status=1
      ;;
  esac
done < <(printf '%s' "$problems" | LC_ALL=C sort -t $'\t' -k2,2)
if [ $fix = 1 ]; then
  echo "fixed $fixed // File: lines"
elif [ $mismatched -gt 0 ]; then
  echo "run scripts/check-file-lines.sh --fix to rewrite the wrong lines"
fi
exit $status
