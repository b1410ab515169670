#!/usr/bin/env bash
# Writes the seed corpus of each fuzz target into <out>/<target>/ (default build-fuzz/seeds):
# small files made with the ffmpeg tool. A decoder seed's first byte picks the extension the
# file is opened under (0 .wav, 1 .mp3, 2 .wma, 3 none), the rest is the file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build-fuzz/seeds}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

ff() { ffmpeg -nostdin -loglevel error -y "$@"; }
tone() { echo "sine=frequency=$1:sample_rate=$2:duration=$3"; }

mkdir -p "$out/decoder_fuzz"
seed() { # seed <selector byte> <file> <name>
  { printf "\\x$(printf %02x "$1")"; cat "$2"; } > "$out/decoder_fuzz/$3"
}
ff -f lavfi -i "$(tone 440 8000 0.1)" -ac 1 -c:a pcm_s16le "$tmp/m8k.wav"
ff -f lavfi -i "$(tone 440 11025 0.1)" -ac 2 -c:a pcm_u8 "$tmp/s8bit.wav"
ff -f lavfi -i "$(tone 440 22050 0.2)" -ac 2 -c:a libmp3lame -b:a 32k "$tmp/s.mp3"
ff -f lavfi -i "$(tone 880 22050 0.2)" -ac 1 -c:a libmp3lame -b:a 32k "$tmp/m.mp3"
ff -f lavfi -i "$(tone 660 16000 0.2)" -ac 1 -c:a libmp3lame -b:a 24k -write_xing 0 "$tmp/notag.mp3"
ff -f lavfi -i "$(tone 440 22050 0.2)" -ac 2 -c:a wmav2 -b:a 32k "$tmp/s.wma"
ff -f lavfi -i "$(tone 440 8000 0.2)" -ac 1 -c:a wmav1 -b:a 32k "$tmp/m.wma"
cat "$tmp/s.mp3" "$tmp/m.mp3" > "$tmp/joined.mp3"
seed 0 "$tmp/m8k.wav" wav-mono
seed 0 "$tmp/s8bit.wav" wav-8bit
seed 1 "$tmp/s.mp3" mp3-stereo
seed 1 "$tmp/m.mp3" mp3-mono
seed 1 "$tmp/notag.mp3" mp3-notag
seed 1 "$tmp/joined.mp3" mp3-joined
seed 2 "$tmp/s.wma" wma-stereo
seed 2 "$tmp/m.wma" wma1-mono
seed 3 "$tmp/s.mp3" mp3-noext
seed 0 "$tmp/s.mp3" mp3-as-wav
echo "seeds in $out"
