#!/usr/bin/env bash
# Builds the Debian package from the build tree and checks its control
# fields and file list; lintian, where installed, must find no error.
set -euo pipefail
build=$1 source=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/log" 2>&1 ||
  fail "cpack: $(cat "$work/log")"
deb=$work/tonvale_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || fail "no $(basename "$deb"): $(ls "$work")"

field() { dpkg-deb --field "$deb" "$1"; }
[[ $(field Package) == tonvale && $(field Version) == "$version" ]] || fail "name or version"
[[ $(field Section) == sound && $(field Maintainer) == *@* ]] || fail "section or maintainer"
[[ $(field Description) == *$'\n'* ]] || fail "no long description"
# Libraries read from the programs, and a soundfont the program searches for:
# the full set first, the small one as the alternative.
depends=$(field Depends)
for lib in libc6 libqt6widgets6 libfluidsynth3 librtmidi6 "fluid-soundfont-gm | timgm6mb-soundfont"; do
  [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done

files=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }')
for f in bin/tonvale bin/tonvale-tool share/applications/org.tonvale.Tonvale.desktop \
         share/metainfo/org.tonvale.Tonvale.metainfo.xml share/tonvale/translations/tonvale_en.qm \
         share/mime/packages/tonvale.xml share/tonvale/help/default.htm share/tonvale/help/en/default.htm \
         share/tonvale/songs/huan-le-song.txt share/tonvale/songs/lv-xiu-zi.txt \
         share/icons/hicolor/48x48/apps/tonvale.png share/icons/hicolor/48x48@2/apps/tonvale.png \
         share/doc/tonvale/copyright share/doc/tonvale/changelog.gz; do
  grep -qx "/usr/$f" <<<"$files" || fail "missing /usr/$f"
done
# Every manual page the sources hold, compressed; nothing outside /usr.
for page in "$source"/data/*.[1-8]; do
  name=$(basename "$page")
  grep -qx "/usr/share/man/man${name##*.}/$name.gz" <<<"$files" || fail "manual page $name"
done
! grep -v '^/usr/' <<<"$files" || fail "files outside /usr"
! grep '^/usr/share/man/.*[^z]$' <<<"$files" || fail "manual pages not compressed"

# The change log's newest entry is this version.
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/tonvale/changelog.gz | gzip -dc |
  sed -n 1p | grep -q "^tonvale ($version) " || fail "change log does not start at $version"

if command -v lintian >/dev/null; then
  out=$(lintian --fail-on error "$deb" 2>&1) || fail "lintian: $out"
  echo "$out"
fi
echo "package check passed: $(basename "$deb"), $(stat -c %s "$deb") bytes"
