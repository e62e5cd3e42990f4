#!/usr/bin/env bash
# scripts/install-deps with a package missing, run by root, by a sudo member,
# and by a user sudo refuses: told the su command, never left at a prompt.
set -euo pipefail
source=$1
[[ $(id -u) -eq 0 ]] || { echo "needs root: it creates users"; exit 77; }
work=$(mktemp -d)
users=()
cleanup() {
  exec 4>&- || true
  for user in "${users[@]}"; do userdel -r "$user" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

chmod 755 "$work"
install -m 755 "$source/scripts/install-deps" "$work/install-deps"
# The real dpkg state with the set's first package taken out.
missing=$(bash "$work/install-deps" --list run | head -1)
awk -v RS= -v ORS='\n\n' -v p="Package: $missing" 'index($0, p "\n") != 1' /var/lib/dpkg/status \
  >"$work/status"
chmod 644 "$work/status"
export DPKG_ADMINDIR=$work
[[ $(dpkg-query -W -f='${Status}' "$missing" 2>/dev/null) != *"ok installed" ]] ||
  fail "$missing still reads as installed"

# As new user $1 (groups $2) on a terminal that never answers; output in
# $said; exit 124 if still waiting after 20 s.
mkfifo "$work/keyboard"
exec 4<>"$work/keyboard"
run_as() {
  useradd --create-home --shell /bin/bash ${2:+--groups "$2"} "$1"
  users+=("$1")
  local code=0
  timeout 20 runuser -u "$1" -- script -qec \
    "env DPKG_ADMINDIR=$work LC_ALL=C bash $work/install-deps ${*:3}" /dev/null \
    <"$work/keyboard" >"$work/out" 2>&1 || code=$?
  said=$(tr -d '\r' <"$work/out")
  return $code
}

out=$(bash "$work/install-deps" --dry-run run) || fail "root's dry run: $out"
grep -qx "install-deps: would run: apt-get update -qq" <<<"$out" || fail "root: $out"
grep -qx "install-deps: would run: env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
--no-install-recommends $missing" <<<"$out" || fail "root: $out"

code=0
run_as "tonvale-refused-$$" "" run || code=$?
[[ $code != 124 ]] || fail "it waited for a password: $said"
[[ $code == 1 ]] || fail "refused: exit $code: $said"
grep -q "may not run sudo" <<<"$said" || fail "sudo's refusal is not passed on: $said"
! grep -q "password for" <<<"$said" || fail "it asked for a password: $said"
# The command as pasted into a shell, su itself standing in for the real one.
line=$(sed -n 's/^  \(su -c .*\)$/\1/p' <<<"$said")
[[ -n $line ]] || fail "no su command: $said"
su() { printf '%s|' "$@"; }
[[ $(eval "$line") == "-c|apt-get update && apt-get install --no-install-recommends $missing|" ]] ||
  fail "the su command runs something else: $line"

run_as "tonvale-member-$$" sudo --dry-run run || fail "sudo group: exit $?: $said"
grep -qx "install-deps: would run: sudo apt-get update -qq" <<<"$said" || fail "sudo group: $said"
echo "install-deps check passed: root, the sudo group, and a user sudo refuses"
