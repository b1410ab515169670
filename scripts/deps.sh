#!/usr/bin/env bash
# Installs the Debian 12 packages the program, its tests and benchmarks need (only what is
# missing). Runs apt-get as root, or through sudo.
set -euo pipefail
packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools librtaudio-dev libpulse-dev libmp3lame-dev
  libavcodec-dev libavformat-dev libswresample-dev libavutil-dev libfftw3-dev libfontconfig-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  pulseaudio pulseaudio-utils xvfb xdotool x11-utils imagemagick sox ffmpeg lame mpg123
  adwaita-icon-theme openbox procps xdg-utils xclip
  desktop-file-utils appstream dpkg-dev file lintian strace linux-perf python3
  pipewire pipewire-pulse wireplumber
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
