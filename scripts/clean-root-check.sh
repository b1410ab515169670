#!/usr/bin/env bash
# Installs the Debian package on a clean Debian 12 (a minimal root made by debootstrap), starts
# the installed program there once on this machine's display and sound server, ends it with
# SIGTERM, removes the package and checks that nothing of it is left. Needs root and a Debian
# mirror; takes about a minute and a half. Not part of the test command (it downloads about
# 300 packages); run it before a release.
#   sudo bash scripts/clean-root-check.sh path/to/vexa-recorder_*.deb
# DISPLAY and PULSE_SERVER (a unix socket) are the ones to use, as scripts/services.sh exports.
set -euo pipefail
deb=$(readlink -f "${1:?the .deb to try}")
[ "$(id -u)" = 0 ] || { echo "run as root" >&2; exit 2; }
: "${DISPLAY:?no DISPLAY}"
socket=${PULSE_SERVER:?no PULSE_SERVER}
socket=${socket#unix:}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
command -v debootstrap >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -q debootstrap >/dev/null

root=$(mktemp -d /tmp/vexa-clean-root.XXXXXX)
chmod 755 "$root" # apt's own user reads its lists in there
mounts=()
cleanup() {
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -l "${mounts[$i]}" 2>/dev/null || true; done
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT
bind() { mkdir -p "$root$2"; mount --bind "$1" "$root$2"; mounts+=("$root$2"); }
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root DEBIAN_FRONTEND=noninteractive "$@"; }
t0=$SECONDS

echo "== debootstrap bookworm (minbase) into $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
  { tail -20 "$root.debootstrap.log"; exit 1; }
rm -f "$root.debootstrap.log"
mount -t proc proc "$root/proc"; mounts+=("$root/proc")
bind /dev /dev
bind /dev/pts /dev/pts
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"

echo "== apt-get install ./$(basename "$deb")  [$((SECONDS - t0)) s]"
in_root apt-get update -q >/dev/null
in_root apt-get install -y -q "/tmp/$(basename "$deb")" >"$root/tmp/install.log" 2>&1 ||
  { tail -30 "$root/tmp/install.log"; exit 1; }
grep -E "newly installed" "$root/tmp/install.log"

echo "== start the installed program  [$((SECONDS - t0)) s]"
bind /tmp/.X11-unix /tmp/.X11-unix
bind "$(dirname "$socket")" /run/vexa-pulse
in_root bash -c "mkdir -p /tmp/rt && chmod 700 /tmp/rt
  export DISPLAY=$DISPLAY PULSE_SERVER=unix:/run/vexa-pulse/$(basename "$socket") XDG_RUNTIME_DIR=/tmp/rt
  cd /root; vexa-recorder >/tmp/out.log 2>&1 & echo \$! >/tmp/pid"
pid=$(cat "$root/tmp/pid")
window=""
for _ in $(seq 1 200); do
  window=$(xdotool search --onlyvisible --name '^Vexa Recorder$' 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.05
done
fail=0
[ -n "$window" ] && echo "window $window shown" || { echo "FAIL: no window"; cat "$root/tmp/out.log"; fail=1; }
# Gone, or a zombie nobody reaps (the program was started by a shell that has left).
ended() { local state; state=$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null); [ -z "$state" ] || [ "$state" = Z ]; }
kill -TERM "$pid"
for _ in $(seq 1 100); do ended && break; sleep 0.1; done
ended || { echo "FAIL: still running 10 s after SIGTERM"; kill -9 "$pid"; fail=1; }
[ -s "$root/root/.config/Quandrel/VexaRecorder.ini" ] && echo "settings written on the way out" ||
  { echo "FAIL: no settings written"; fail=1; }

echo "== apt-get remove  [$((SECONDS - t0)) s]"
in_root apt-get remove -y -q vexa-recorder >/dev/null
for f in /usr/bin/vexa-recorder /usr/share/vexa-recorder /usr/share/applications/com.quandrel.VexaRecorder.desktop; do
  [ ! -e "$root$f" ] || { echo "FAIL: $f left after removal"; fail=1; }
done
in_root dpkg -s vexa-recorder >/dev/null 2>&1 && { echo "FAIL: dpkg still lists it"; fail=1; }
echo "== done in $((SECONDS - t0)) s, exit $fail"
exit $fail
