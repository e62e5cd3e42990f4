#!/usr/bin/env bash
# The build installed into a temporary prefix, checked as a desktop uses it.
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
metainfo=$share/metainfo/$id.metainfo.xml
out=$(appstreamcli validate --no-net --strict "$metainfo" 2>&1) || fail "appstreamcli: $out"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "launchable"
grep -q "<release version=\"$2\" " "$metainfo" || fail "no release $2 in the metadata"
for size in 16 32 48 256; do
  icon=$share/icons/hicolor/${size}x$size/apps/tonvale.png
  [[ $(identify -format '%wx%h' "$icon") == "${size}x$size" ]] || fail "icon $size"
done

update-mime-database "$share/mime" >/dev/null 2>&1
printf 'RIFF\x68\x00\x00\x00QV  LIST' | tee "$prefix/tune.qvi" >"$prefix/tune.bin"
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
keys=$("$prefix/bin/tonvale-tool" keys "${songs[0]}") && [[ -n $keys ]] || fail "song ${songs[0]}"

for page in "$share"/man/man1/*; do
  out=$(zcat -f "$page" | groff -man -Tutf8 -ww -z 2>&1) && [[ -z $out ]] || fail "$page: $out"
done

# The English help installed; the installed program finds its translation
# (it says on standard error when it does not).
[[ -f $share/tonvale/help/en/default.htm ]] || fail "no English help"
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
