#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs
# of it: the launcher, the software-centre metadata, icons, the recordings'
# file type, manual pages, the English translation and help, and the songs.
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cmake --install "$1" --prefix "$prefix" >/dev/null
share=$prefix/share

id=org.tonvale.Tonvale
desktop=$share/applications/$id.desktop
out=$(desktop-file-validate "$desktop" 2>&1) && [[ -z $out ]] || fail "desktop-file-validate: $out"
grep -q '^Exec=tonvale %f$' "$desktop" || fail "the launcher passes no file"
grep -q '^Categories=.*Audio;.*Music;' "$desktop" || fail "categories"
for key in Name GenericName Comment Keywords; do
  grep -q "^$key=" "$desktop" && grep -q "^$key\[zh_CN\]=" "$desktop" || fail "$key in English and Chinese"
done
# --strict fails on warnings too; only pedantic hints pass.
metainfo=$share/metainfo/$id.metainfo.xml
out=$(appstreamcli validate --no-net --strict "$metainfo" 2>&1) || fail "appstreamcli: $out"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "launchable"
grep -q "<release version=\"$2\" " "$metainfo" || fail "no release $2 in the metadata"
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

# Every help page also in English; the installed program, asked for English,
# finds its translation (it says on standard error when it does not).
for page in "$share"/tonvale/help/*.htm; do
  [[ -f $share/tonvale/help/en/$(basename "$page") ]] || fail "no English $(basename "$page")"
done
runtime=$(mktemp -d -p "$prefix")
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" \
  LANGUAGE=en LC_ALL=C.UTF-8 TONVALE_SPLASH_MS=0 TONVALE_REPORT_READY=1 \
  TONVALE_AUDIO_DRIVER=file TONVALE_AUDIO_FILE="$prefix/out.wav" \
  "$prefix/bin/tonvale" 2>"$prefix/tonvale.log" &
program=$!
for ((i = 0; i < 300; i++)); do
  grep -q '^tonvale: ready$' "$prefix/tonvale.log" && break
  sleep 0.1
done
kill "$program"
wait "$program" || true
grep -q '^tonvale: ready$' "$prefix/tonvale.log" || fail "no window: $(cat "$prefix/tonvale.log")"
! grep -q 'translation' "$prefix/tonvale.log" || fail "$(cat "$prefix/tonvale.log")"
echo "install check passed"
