#!/usr/bin/env bash
# scripts/install-deps on its way to root, as real users meet it with a
# package missing: root installs directly; a member of the sudo group goes
# through sudo; a user sudo refuses (Debian installed with a root password)
# is told the su command that installs the packages, and stopped at once,
# on a terminal too, never left at a password prompt that cannot work.
# It creates those users, so it needs root.
set -euo pipefail
source=$1
[[ $(id -u) -eq 0 ]] || {
  echo "needs root: it creates users"
  exit 77
}
work=$(mktemp -d)
users=()
cleanup() {
  exec 4>&- || true
  for user in "${users[@]}"; do userdel -r "$user" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Where every user can read it, wherever the sources are.
chmod 755 "$work"
install -m 755 "$source/scripts/install-deps" "$work/install-deps"
# The system's packages with the first of the set taken out, read by
# dpkg-query from DPKG_ADMINDIR: the real state, one package short.
missing=$(bash "$work/install-deps" --list run | head -1)
awk -v RS= -v ORS='\n\n' -v p="Package: $missing" 'index($0, p "\n") != 1' /var/lib/dpkg/status \
  >"$work/status"
chmod 644 "$work/status"
export DPKG_ADMINDIR=$work
[[ $(dpkg-query -W -f='${Status}' "$missing" 2>/dev/null) != *"ok installed" ]] ||
  fail "$missing still reads as installed"

add_user() {
  useradd --create-home --shell /bin/bash "$1"
  users+=("$1")
}
# Runs the script as `user` on a terminal whose keyboard never answers, as
# a desktop user at a prompt that waits for a password; what it printed
# goes to $work/out. 124 when it was still waiting after 20 s.
run_as() {
  local user=$1
  shift
  timeout 20 runuser -u "$user" -- script -qec \
    "env DPKG_ADMINDIR=$work LC_ALL=C bash $work/install-deps $*" /dev/null \
    <"$work/keyboard" >"$work/out" 2>&1 || return $?
}
mkfifo "$work/keyboard"
exec 4<>"$work/keyboard"

# Root: no sudo.
out=$(bash "$work/install-deps" --dry-run run) || fail "root's dry run: $out"
grep -qx "install-deps: would run: apt-get update -qq" <<<"$out" || fail "root: $out"
grep -qx "install-deps: would run: env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
--no-install-recommends $missing" <<<"$out" || fail "root: $out"

# Refused by sudo: the su command, and a stop.
refused=tonvale-refused-$$
add_user "$refused"
code=0
run_as "$refused" run || code=$?
said=$(tr -d '\r' <"$work/out")
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

# In the sudo group: through sudo, which will ask for the user's password.
member=tonvale-member-$$
add_user "$member"
usermod -aG sudo "$member"
run_as "$member" --dry-run run || fail "sudo group: exit $?: $(cat "$work/out")"
said=$(tr -d '\r' <"$work/out")
grep -qx "install-deps: would run: sudo apt-get update -qq" <<<"$said" || fail "sudo group: $said"

echo "install-deps check passed: root, the sudo group, and a user sudo refuses"
