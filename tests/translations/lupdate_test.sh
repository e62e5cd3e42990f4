#!/usr/bin/env bash
# The translations against the sources, as the documented update would find
# them: lupdate, run on a copy of each .ts file, must find every window text
# translated and none vanished, and no text it cannot place.
#   lupdate_test.sh LUPDATE TS-FILE... -- LUPDATE-OPTIONS...
set -euo pipefail
lupdate=$1
shift
ts_files=()
while [[ $1 != -- ]]; do ts_files+=("$1") && shift; done
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

for ts in "${ts_files[@]}"; do
  copy=$work/$(basename "$ts")
  cp "$ts" "$copy"
  "$lupdate" "$@" -ts "$copy" >"$work/log" 2>&1 || fail "lupdate: $(cat "$work/log")"
  # Silent, lupdate speaks only of what it could not read.
  [[ ! -s $work/log ]] || fail "lupdate: $(cat "$work/log")"
  for kind in unfinished vanished obsolete; do
    count=$(grep -c "type=\"$kind\"" "$copy" || true)
    ((count == 0)) || fail "$(basename "$ts"): $count $kind (run the update-translations target):
$(grep -B2 "type=\"$kind\"" "$copy" | grep '<source>' | head -20)"
  done
  echo "$(basename "$ts"): $(grep -c '<message>' "$copy") texts, all translated"
done
