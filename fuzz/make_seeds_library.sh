#!/usr/bin/env bash
# Small seed corpora for the WAV header, language file and settings fuzz targets, written from
# scratch (no sample files): make_seeds_library.sh OUT makes OUT/wavheader, OUT/languagefile and
# OUT/settings.
set -euo pipefail
out=${1:?usage: make_seeds_library.sh OUTDIR}
mkdir -p "$out/wavheader" "$out/languagefile" "$out/settings"
root=$(cd "$(dirname "$0")/.." && pwd)

# Little-endian numbers as printf escapes.
le16() { printf '\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)); }
le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)) $((($1 >> 16) & 255)) $((($1 >> 24) & 255)); }
# chunk ID SIZE BODY-ESCAPES
chunk() { printf '%s' "$1"; printf "$(le32 "$2")"; printf "$3"; }
# fmt TAG CHANNELS RATE BITS: the 16 fixed bytes of a format chunk body, as escapes.
fmt() { printf '%s' "$(le16 "$1")$(le16 "$2")$(le32 "$3")$(le32 $(($3 * $2 * $4 / 8)))$(le16 $(($2 * $4 / 8)))$(le16 "$4")"; }
zeros() { local i; for ((i = 0; i < $1; i++)); do printf '\\x00'; done; }
# riff BODY-FILE OUT: the RIFF header around the chunks in BODY-FILE.
riff() { { printf 'RIFF'; printf "$(le32 $(($(stat -c %s "$1") + 4)))"; printf 'WAVE'; cat "$1"; } >"$2"; }

w=$out/wavheader
tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
guid='\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71'
{ chunk 'fmt ' 16 "$(fmt 1 2 44100 16)"; chunk data 64 "$(zeros 64)"; } >"$tmp"; riff "$tmp" "$w/canonical.wav"
{ chunk 'fmt ' 16 "$(fmt 1 1 8000 8)"; chunk LIST 7 'INFOabc\x00'; chunk data 16 "$(zeros 16)"; } >"$tmp"; riff "$tmp" "$w/odd-list.wav"
{ chunk JUNK 28 "$(zeros 28)"; chunk 'fmt ' 16 "$(fmt 1 2 48000 16)"; chunk data 32 "$(zeros 32)"; } >"$tmp"; riff "$tmp" "$w/junk-first.wav"
{ chunk bext 40 "$(zeros 40)"; chunk 'fmt ' 16 "$(fmt 1 2 96000 16)"; chunk data 32 "$(zeros 32)"; } >"$tmp"; riff "$tmp" "$w/bext-first.wav"
{ chunk 'fmt ' 40 "$(fmt 65534 4 44100 16)$(le16 22)$(le16 16)$(le32 51)$(le16 1)$guid"; chunk data 32 "$(zeros 32)"; } >"$tmp"; riff "$tmp" "$w/extensible.wav"
{ chunk 'fmt ' 40 "$(fmt 65534 2 48000 32)$(le16 22)$(le16 32)$(le32 3)$(le16 3)$guid"; chunk data 32 "$(zeros 32)"; } >"$tmp"; riff "$tmp" "$w/extensible-float.wav"
{ chunk 'fmt ' 16 "$(fmt 1 2 44100 24)"; chunk data 36 "$(zeros 36)"; } >"$tmp"; riff "$tmp" "$w/pcm24.wav"
{ chunk 'fmt ' 16 "$(fmt 3 2 44100 32)"; printf 'data'; printf "$(le32 4294967295)"; zeros 8; } >"$tmp"; riff "$tmp" "$w/float-huge-data.wav"
printf 'RIFF\x04\x00\x00\x00WAVE' >"$w/empty-riff.wav"

l=$out/languagefile
cp "$root/languages/English.ini" "$l/english.ini"
printf '\xef\xbb\xbf[LanguageProperty]\r\nName = "Quoted"\r\n[Strings]\r\nstr001=\r\nstr006=  x  \r\n[strings]\r\nstr006=second\r\n' >"$l/bom-crlf.ini"
printf '[Common]\nMessage=%s\n[Menu]\nOpen\n=nokey\n[[x]]\n[\n' "$(head -c 3000 /dev/zero | tr '\0' 'v')" >"$l/long-and-odd.ini"
printf '[RecordFormatForm]\nMp3Capped=%%1 %%2 %%3\nStereo=\xc3\xa9\xff\xfe\n' >"$l/placeholders.ini"

s=$out/settings
printf '[General]\nDir=/home/u/rec/\nFormat=0\nChannels=1\nFrequency=22050\nMP3Bitrate=320\nLanguageFile=English.ini\nVersion=3.1\n' >"$s/plain.ini"
printf '[General]\nDir=/home/u/rec/\nFormat=0\n[[[\nChannels=1\n' >"$s/brackets.ini"
printf '[General\nDir=/caf\xe9/\nFormat=2\nno equals here\nSpectrum=1\n' >"$s/broken-header.ini"
printf '[General]\nDir="/a, b/"\nMixer=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\nOnTop=@ByteArray(1)\nFileList=a,b\n[%%General]\nDir=x\n' >"$s/types.ini"
printf 'Dir=/top/\r\n[General]\r\nFormat=1\\\r\nChannels=2\r\n' >"$s/continuation.ini"
echo "seeds in $out: $(find "$out" -type f | wc -l) files"
