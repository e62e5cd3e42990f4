#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs:
# the programs, the help pages, the launcher, the icons, the MIME type of
# recordings (by name and by content) and the manual page.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/tonvale bin/tonvale-tool share/applications/tonvale.desktop \
         share/mime/packages/tonvale.xml share/man/man1/tonvale-tool.1 \
         share/tonvale/help/default.htm; do
  [[ -s $prefix/$f ]] || fail "missing $f"
done
[[ -x $prefix/bin/tonvale && -x $prefix/bin/tonvale-tool ]] || fail "programs not executable"
for size in 16 32 48 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/tonvale.png
  [[ -s $icon ]] || fail "missing icon $size"
  [[ $(identify -format '%wx%h' "$icon") == "${size}x${size}" ]] || fail "icon $size has the wrong size"
done

out=$(desktop-file-validate "$prefix/share/applications/tonvale.desktop" 2>&1) || fail "$out"
[[ -z $out ]] || fail "desktop-file-validate: $out"
grep -q '^Exec=tonvale %f$' "$prefix/share/applications/tonvale.desktop" || fail "launcher passes no file"
grep -q '^Categories=.*Audio;.*Music;' "$prefix/share/applications/tonvale.desktop" || fail "category"

# The MIME type: a recording is known by its name and, renamed, by its content.
update-mime-database "$prefix/share/mime" >/dev/null 2>&1
work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT
"$prefix/bin/tonvale-tool" info /dev/null >/dev/null 2>&1 && fail "tool accepted /dev/null"
printf 'RIFF\x68\x00\x00\x00QV  LIST' >"$work/tune.qvi"
cp "$work/tune.qvi" "$work/tune.bin"
printf 'RIFF\x68\x00\x00\x00WAVEfmt ' >"$work/sound.bin"
type_of() { XDG_DATA_DIRS="$prefix/share:/usr/share" gio info -a standard::content-type "$1" |
  sed -n 's/.*standard::content-type: //p'; }
[[ $(type_of "$work/tune.qvi") == application/x-tonvale-recording ]] || fail "by name: $(type_of "$work/tune.qvi")"
[[ $(type_of "$work/tune.bin") == application/x-tonvale-recording ]] || fail "by content: $(type_of "$work/tune.bin")"
[[ $(type_of "$work/sound.bin") != application/x-tonvale-recording ]] || fail "a WAVE file taken for a recording"

# The manual page renders without warnings.
warnings=$(groff -man -Tutf8 -ww -z "$prefix/share/man/man1/tonvale-tool.1" 2>&1)
[[ -z $warnings ]] || fail "manual page: $warnings"
echo "install check passed"
