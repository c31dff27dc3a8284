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
status=0
fixed=0
mismatched=0
while IFS= read -r file; do
  first=$(head -n 1 "$file")
  expected="// File: $file"
  [ "$first" = "$expected" ] && continue
  case $first in
    "// File:"*)
      if [ $fix = 1 ]; then
        # Only the first line changes; the rest of the file is copied as is.
        { printf '%s\n' "$expected"; tail -n +2 "$file"; } >"$file.file-line"
        cat "$file.file-line" >"$file"
        rm "$file.file-line"
        fixed=$((fixed + 1))
      else
        echo "$file: first line names another path: $first"
        mismatched=$((mismatched + 1))
        status=1
      fi
      ;;
    *)
      if grep -q '^// File:' "$file"; then
        echo "$file: the // File: line is not the first line"
        status=1
      elif [[ $file == *.h && $file != */internal/* ]]; then
        echo "$file: public header without a // File: line"
        status=1
      fi
      ;;
  esac
done < <(find vantrel -type f \( -name '*.h' -o -name '*.cpp' \) | LC_ALL=C sort)
if [ $fix = 1 ]; then
  echo "fixed $fixed // File: lines"
elif [ $mismatched -gt 0 ]; then
  echo "run scripts/check-file-lines.sh --fix to rewrite the wrong lines"
fi
exit $status
