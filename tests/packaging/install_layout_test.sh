#!/usr/bin/env bash
# ctest-label: unit
# `cmake --install` lays out a standard tree: the program in bin/, its language files under
# share/vexa-recorder/, a desktop entry and AppStream metadata that the desktop's own checkers
# accept, and the program icon at every usual size as drawn by the skin art generator.
set -uo pipefail
src=${VEXA_SOURCE_DIR:?}
bin=${VEXA_BINARY_DIR:?}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
bad() { echo "FAIL: $*"; fail=1; }

id=com.quandrel.VexaRecorder
cmake --install "$bin" --prefix "$tmp/usr" >"$tmp/install.log" 2>&1 || { cat "$tmp/install.log"; bad "cmake --install failed"; exit 1; }
p=$tmp/usr

[ -x "$p/bin/vexa-recorder" ] || bad "bin/vexa-recorder missing or not executable"
for f in "$src"/languages/*.ini; do
  cmp -s "$f" "$p/share/vexa-recorder/Languages/$(basename "$f")" || bad "language file $(basename "$f") not installed as it stands"
done
if [ -d "$src/docs/manual" ]; then
  [ -n "$(ls -A "$p/share/vexa-recorder/manual" 2>/dev/null)" ] || bad "manual not installed"
fi
[ -f "$p/share/vexa-recorder/screenshots/vexa-recorder.png" ] || bad "screenshot not installed"
# The codec module in the program's own lib folder, and nothing else there; nothing lands
# outside the standard folders.
[ -f "$p/lib/vexa-recorder/vexa-codecs.so" ] || bad "lib/vexa-recorder/vexa-codecs.so missing"
extra=$(cd "$p" && find . -mindepth 1 -maxdepth 1 ! -name bin ! -name share ! -name lib)
[ -z "$extra" ] || bad "unexpected top-level entries: $extra"
extra=$(cd "$p/lib" && find . -mindepth 1 ! -path ./vexa-recorder ! -path ./vexa-recorder/vexa-codecs.so)
[ -z "$extra" ] || bad "unexpected entries under lib/: $extra"
# The program itself does not need FFmpeg: the module brings it in when a codec is wanted.
if readelf -d "$p/bin/vexa-recorder" | grep -E 'NEEDED.*lib(avcodec|avformat|swresample|avutil)'; then
  bad "the program links FFmpeg itself"
fi
readelf -d "$p/lib/vexa-recorder/vexa-codecs.so" | grep -q 'NEEDED.*libavcodec' || bad "the module does not carry FFmpeg"

# Desktop entry: valid, in the sound categories, translated names for both Chinese languages,
# and it starts the installed program with the installed icon.
desktop=$p/share/applications/$id.desktop
if [ -f "$desktop" ]; then
  desktop-file-validate "$desktop" || bad "desktop-file-validate rejects $desktop"
  cats=$(sed -n 's/^Categories=//p' "$desktop")
  for c in Audio AudioVideo Recorder; do
    [[ ";$cats" == *";$c;"* ]] || bad "category $c missing from '$cats'"
  done
  grep -q '^Name\[zh_CN\]=Vexa 录音机$' "$desktop" || bad "no simplified Chinese name"
  grep -q '^Name\[zh_TW\]=Vexa 錄音機$' "$desktop" || bad "no traditional Chinese name"
  exe=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -x "$p/bin/$exe" ] || bad "Exec=$exe is not the installed program"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
else
  bad "desktop entry missing"; icon=vexa-recorder
fi

# Icons: square PNGs of exactly their folder's size, with transparent corners.
for n in 16 22 24 32 48 64 128 256; do
  f=$p/share/icons/hicolor/${n}x${n}/apps/$icon.png
  if [ ! -f "$f" ]; then bad "icon ${n}x${n} missing"; continue; fi
  size=$(identify -format '%wx%h' "$f")
  [ "$size" = "${n}x${n}" ] || bad "icon ${n}x${n} is $size"
  corner=$(convert "$f" -format '%[fx:p{0,0}.a]' info:)
  [ "$corner" = 0 ] || bad "icon ${n}x${n} has an opaque corner ($corner)"
  middle=$(convert "$f" -format "%[fx:p{$((n / 2)),$((n / 2))}.a]" info:)
  [ "$middle" = 1 ] || bad "icon ${n}x${n} is not opaque in the middle ($middle)"
done

# AppStream metadata: valid offline, as installed (no screenshot address configured here)
# and as written with one.
meta=$p/share/metainfo/$id.metainfo.xml
if [ -f "$meta" ]; then
  appstreamcli validate --no-net "$meta" || bad "appstreamcli rejects $meta"
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$meta" || bad "metainfo does not name the desktop entry"
else
  bad "metainfo missing"
fi
cmake -DIN="$src/packaging/$id.metainfo.xml.in" -DOUT="$tmp/shot.metainfo.xml" \
      -DURL=https://example.org/vexa-recorder.png -P "$src/cmake/VexaMetainfo.cmake"
# The size given for the screenshot is the picture's own.
read -r shot_w shot_h < <(identify -format '%w %h' "$src/docs/vexa-recorder.png")
grep -q "<image type=\"source\" width=\"$shot_w\" height=\"$shot_h\">https://example.org/vexa-recorder.png</image>" \
  "$tmp/shot.metainfo.xml" || bad "screenshot address or size not written"
appstreamcli validate --no-net "$tmp/shot.metainfo.xml" || bad "appstreamcli rejects the metadata with a screenshot"

exit $fail
