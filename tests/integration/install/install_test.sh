#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs
# of it: a valid launcher that passes the file, icons of their sizes,
# recordings known by name and by content, manual pages without warnings,
# and the songs, each read by the installed tool.
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cmake --install "$1" --prefix "$prefix" >/dev/null
share=$prefix/share

desktop=$share/applications/tonvale.desktop
out=$(desktop-file-validate "$desktop" 2>&1) && [[ -z $out ]] || fail "desktop-file-validate: $out"
grep -q '^Exec=tonvale %f$' "$desktop" || fail "the launcher passes no file"
grep -q '^Categories=.*Audio;.*Music;' "$desktop" || fail "categories"
for size in 16 32 48 256; do
  icon=$share/icons/hicolor/${size}x$size/apps/tonvale.png
  [[ $(identify -format '%wx%h' "$icon") == "${size}x$size" ]] || fail "icon $size"
done

update-mime-database "$share/mime" >/dev/null 2>&1
printf 'RIFF\x68\x00\x00\x00QV  LIST' >"$prefix/tune.qvi"
cp "$prefix/tune.qvi" "$prefix/tune.bin"
printf 'RIFF\x68\x00\x00\x00WAVEfmt ' >"$prefix/sound.bin"
type_of() {
  XDG_DATA_DIRS="$share:/usr/share" gio info -a standard::content-type "$prefix/$1" |
    sed -n 's/.*standard::content-type: //p'
}
[[ $(type_of tune.qvi) == application/x-tonvale-recording ]] || fail "by name: $(type_of tune.qvi)"
[[ $(type_of tune.bin) == application/x-tonvale-recording ]] || fail "by content: $(type_of tune.bin)"
[[ $(type_of sound.bin) != application/x-tonvale-recording ]] || fail "a WAVE file taken for a recording"

songs=("$share"/tonvale/songs/*.txt)
(( ${#songs[@]} >= 6 )) || fail "songs: ${songs[*]}"
for song in "${songs[@]}"; do
  keys=$("$prefix/bin/tonvale-tool" keys "$song") && [[ -n $keys ]] || fail "song $song"
done

for page in "$share"/man/man1/*; do
  out=$(zcat -f "$page" | groff -man -Tutf8 -ww -z 2>&1) && [[ -z $out ]] || fail "$page: $out"
done
echo "install check passed"
