#!/usr/bin/env bash
# Fails when a source includes another module's internal header. Internal
# names are hidden in the module libraries, so such a use builds in the static
# test libraries and fails only when the shared library links.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
module_of() {
  local p=${1#vantrel/}
  case $p in platform/*) p=${p#platform/} ;; shortcuts/recorder/*) p=recorder ;; esac
  echo "${p%%/*}"
}
while IFS= read -r file; do
  own=$(module_of "$file")
  while IFS= read -r inc; do
    [ "$(module_of "$inc")" = "$own" ] && continue
    echo "$file includes $inc, an internal header of another module"
    status=1
  done < <(grep -o '#include "vantrel/[^"]*/internal/[^"]*"' "$file" | sed 's/#include "\(.*\)"/\1/')
done < <(git ls-files 'vantrel/*.cpp' 'vantrel/*.h')
exit $status
