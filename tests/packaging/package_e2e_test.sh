#!/usr/bin/env bash
# ctest-label: e2e
# ctest-timeout: 600
# The Debian package: CPack builds it with its library dependencies computed; lintian finds no
# error in it; apt installs it on this machine (as root, when no copy is installed already;
# otherwise it is unpacked into a scratch root); the installed program (with no language files
# beside it) shows its window, reads its language file from the installed share folder, and
# ends with code 0 on SIGTERM; then apt purges it and the machine's packages are as they were.
# The package has no maintainer scripts (nothing for dpkg to keep once it is removed).
set -uo pipefail
build=${VEXA_BINARY_DIR:?}
source "${VEXA_SOURCE_DIR:?}/tests/e2e/lib.sh"
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY; run under scripts/test.sh or scripts/services.sh"; exit 1; }
work=$(mktemp -d /tmp/vexa-package.XXXXXX)
vexa_pid=""
installed=""
cleanup() {
  [ -n "$vexa_pid" ] && kill -9 "$vexa_pid" 2>/dev/null
  [ -n "$installed" ] && DEBIAN_FRONTEND=noninteractive apt-get purge -y -q vexa-recorder >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
fail=0
bad() { echo "FAIL: $*"; fail=1; }

# Package into the scratch folder, leaving the build folder as it was.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pack" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$work"/pack/vexa-recorder_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { cat "$work/cpack.log"; echo "FAIL: no vexa-recorder_*.deb"; exit 1; }
echo "package: $(basename "$deb") ($(stat -c %s "$deb") bytes)"

# Dependencies come from the libraries the program links, not from a hand-written list.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6widgets6 librtaudio6 libmp3lame0 libavformat59 libfftw3-single3 libc6; do
  [[ "$depends" == *"$lib"* ]] || bad "Depends lacks $lib"
done
[ "$(dpkg-deb -f "$deb" Package)" = vexa-recorder ] || bad "package name"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || bad "architecture"
# One version everywhere: the package's, the changelog's newest entry's and the metadata's newest
# release (the program and its About box have it from the same project version).
version=$(dpkg-deb -f "$deb" Version)
[ "$version" = "$(sed -n '1s/^[^(]*(\([^)]*\)).*/\1/p' "$VEXA_SOURCE_DIR/packaging/changelog")" ] ||
  bad "package version $version is not the changelog's"
grep -m1 '<release ' "$VEXA_SOURCE_DIR/packaging/com.quandrel.VexaRecorder.metainfo.xml.in" |
  grep -q "version=\"$version\"" || bad "package version $version is not the metadata's newest release"

# apt-get can install it here: every dependency resolves (simulated, so the machine is left alone).
apt-get install -s -q "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; bad "apt-get cannot install the package"; }

# No maintainer scripts: the codec module's private folder needs no ldconfig, and a package
# with a postrm stays listed after its removal ("config files remain").
scripts=$(dpkg-deb -I "$deb" | awk '$NF ~ /^(preinst|postinst|prerm|postrm)$/ {print $NF}')
[ -z "$scripts" ] || bad "maintainer scripts in the package: $(echo $scripts)"

# lintian: no error. Warnings are listed for the record.
if command -v lintian >/dev/null; then
  lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || { bad "lintian reports errors"; }
  cat "$work/lintian.log"
  grep -q maintscript-calls-ldconfig "$work/lintian.log" && bad "a maintainer script calls ldconfig"
else
  bad "lintian is not installed (scripts/deps.sh)"
fi

# The files a desktop needs, at their standard places.
dpkg-deb -c "$deb" | awk '{print $6}' >"$work/files"
for f in ./usr/bin/vexa-recorder ./usr/lib/vexa-recorder/vexa-codecs.so ./usr/share/vexa-recorder/Languages/English.ini \
         ./usr/share/applications/com.quandrel.VexaRecorder.desktop \
         ./usr/share/metainfo/com.quandrel.VexaRecorder.metainfo.xml \
         ./usr/share/icons/hicolor/48x48/apps/vexa-recorder.png; do
  grep -qx "$f" "$work/files" || bad "package lacks $f"
done

# Install it for real (dpkg, apt, the desktop's triggers) where the machine lets us and dpkg
# knows nothing of the package (not even its configuration files), otherwise unpack it into a
# scratch root; then start the installed program once. What dpkg lists before is what it must
# list after the purge.
package_state() { dpkg-query -W -f='${Status}' vexa-recorder 2>/dev/null || true; }
package_list() { dpkg-query -W -f='${Package} ${Version} ${Status}\n' | grep -v ' not-installed$' | sort; }
state=$(package_state)
if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null &&
   { [ -z "$state" ] || [[ "$state" == *not-installed ]]; }; then
  root=""
  package_list >"$work/packages.before"
  installed=yes
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; echo "FAIL: apt-get install"; exit 1; }
  [ "$(package_state)" = "install ok installed" ] || bad "dpkg does not list it as installed"
  echo "installed with apt-get: $(command -v vexa-recorder)"
else
  root=$work/root
  dpkg -x "$deb" "$root" || { echo "FAIL: dpkg -x"; exit 1; }
  echo "unpacked into $root (not root, or dpkg knows the package already: '${state}')"
fi
[ ! -e "$root/usr/bin/Languages" ] || bad "language files beside the installed program"
vexa_fresh "$work/run"
# A recording in the folder: its length is read by the program run apart (its reader of
# lengths), which loads the codec module from the installed lib folder; the window itself does
# not.
mkdir -p "$work/rec"
ffmpeg -v error -nostdin -f lavfi -i "sine=frequency=440:duration=2" -ac 2 -ar 44100 "$work/rec/Vexa_001.mp3" ||
  bad "ffmpeg made no test file"
vexa_write_settings "Dir=$work/rec/"
strace -f -qq -e trace=openat -o "$work/trace" -- "$root/usr/bin/vexa-recorder" >"$work/out.log" 2>&1 &
vexa_pid=$!
window=""
for _ in $(seq 1 400); do
  window=$(xdotool search --onlyvisible --name '^Vexa Recorder$' 2>/dev/null | head -1)
  [ -n "$window" ] && break
  kill -0 "$vexa_pid" 2>/dev/null || break
  sleep 0.05
done
if [ -z "$window" ]; then
  bad "the installed program showed no window"; cat "$work/out.log"
else
  # strace's child is the program. Only its main window shows: no box about missing files.
  prog=$(pgrep -P "$vexa_pid" -x vexa-recorder || true)
  [ -n "$prog" ] || prog=$vexa_pid
  windows=$(xdotool search --onlyvisible --pid "$prog" --name '.' 2>/dev/null | wc -l)
  [ "$windows" -le 1 ] || bad "the installed program shows $windows windows"
  grep -q "$root/usr/share/vexa-recorder/Languages/English.ini" "$work/trace" ||
    bad "the installed program did not read its language file from share/vexa-recorder"
  # The reader starts at the window's first tick: wait for it (a hang guard, not a timing).
  for _ in $(seq 1 400); do
    grep -q "$root/usr/lib/vexa-recorder/vexa-codecs.so" "$work/trace" && break
    sleep 0.05
  done
  module_pids=$(awk -v m="$root/usr/lib/vexa-recorder/vexa-codecs.so" 'index($0, m) && !/ENOENT/ {print $1}' "$work/trace" | sort -u)
  if [ -z "$module_pids" ]; then
    bad "the installed program did not load its codec module from lib/vexa-recorder"
  elif echo "$module_pids" | grep -qx "$prog"; then
    bad "the window's own process loaded the codec module just to list a recording"
  fi
  # End it as a desktop session would; strace ends with the program's exit code.
  kill -TERM "$prog"
fi
for _ in $(seq 1 200); do kill -0 "$vexa_pid" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$vexa_pid" 2>/dev/null; then bad "still running 10 s after SIGTERM"; kill -9 "$vexa_pid"; fi
wait "$vexa_pid"; rc=$?
vexa_pid=""
[ -z "$window" ] || [ "$rc" -eq 0 ] || bad "exit code $rc after SIGTERM"
[ -s "$vexa_settings" ] || bad "no settings written on the way out"

# Purging it leaves nothing behind: no file, no dpkg record, no package more or less.
if [ -n "$installed" ]; then
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -q vexa-recorder >"$work/remove.log" 2>&1 ||
    { cat "$work/remove.log"; bad "apt-get purge"; }
  installed=""
  state=$(package_state)
  [ -z "$state" ] || [[ "$state" == *not-installed ]] || bad "dpkg still lists the package: $state"
  package_list >"$work/packages.after"
  diff "$work/packages.before" "$work/packages.after" >"$work/packages.diff" ||
    { cat "$work/packages.diff"; bad "the machine's packages differ from before the test"; }
  for f in /usr/bin/vexa-recorder /usr/lib/vexa-recorder /usr/share/vexa-recorder /usr/share/applications/com.quandrel.VexaRecorder.desktop \
           /usr/share/icons/hicolor/48x48/apps/vexa-recorder.png /usr/share/doc/vexa-recorder; do
    [ ! -e "$f" ] || bad "$f left after removal"
  done
else
  rm -rf "$root"
  [ ! -e "$root" ] || bad "scratch root not removed"
fi
exit $fail
