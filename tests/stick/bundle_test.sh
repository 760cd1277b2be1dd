#!/usr/bin/env bash
# The program folder made by tools/make-stick starts on a computer without Qt: the system's copies
# of everything it bundles, Qt's plugins and translations are hidden in a private mount namespace.
# Usage: bundle_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1
build_dir=$2
if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: hiding the system's Qt from the loader needs root (unshare -m, bind mounts)"
  exit 77
fi
if [ -z "${VERDALINE_QT_HIDDEN:-}" ]; then
  exec env VERDALINE_QT_HIDDEN=1 unshare -m "$0" "$@"
fi

fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill $pid 2>/dev/null; rm -rf "$work"' EXIT
stick=$work/Verdaline
copies="$stick/Файлы с компьютера_Стенд"
"$source_dir/tools/make-stick" "$build_dir" "$stick" >/dev/null

qt_libs=$(qtpaths6 --query QT_INSTALL_LIBS)
qt_plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS)
qt_translations=$(qtpaths6 --query QT_INSTALL_TRANSLATIONS)
for library in "$qt_libs"/libQt6* "$stick"/lib/*; do
  hidden=$qt_libs/$(basename "$library")
  if [ -f "$hidden" ] && [ ! -L "$hidden" ]; then mount --bind /dev/null "$hidden"; fi
done
mount -t tmpfs none "$qt_plugins"
mount -t tmpfs none "$qt_translations"
loader_folder=$(dirname "$(readlink -f /lib64/ld-linux-x86-64.so.2)")

echo "document" > "$work/document.txt"
"$stick/verdaline-cli" register Стенд >/dev/null || fail "bundled verdaline-cli register"
"$stick/verdaline-cli" add "$work/document.txt" >/dev/null || fail "bundled verdaline-cli add"
"$stick/verdaline-cli" status | grep -q "Стенд" || fail "bundled verdaline-cli status"
[ -s "$stick/verdaline-watcher" ] || fail "the watcher is not in the program folder"

# Starts the window, waits until it has set up the copies folder beside the bundled program, and
# checks that Qt, its platform plugin and its Russian texts came from the bundle.
window_starts() {
  rm -rf "$copies"
  QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work "$@" >"$work/window.log" 2>&1 &
  pid=$!
  for _ in $(seq 600); do
    [ -d "$copies" ] && break
    kill -0 $pid 2>/dev/null || { cat "$work/window.log"; fail "the window exited: $*"; }
    sleep 0.1
  done
  [ -d "$copies" ] || fail "no copies folder beside the bundled program: $*"
  # Run from its copy in the runtime folder, so that a pulled stick cannot take a page away.
  for file in verdaline lib/libQt6Core.so.6 plugins/platforms/libqoffscreen.so translations/qtbase_ru.qm; do
    grep -q "$work/verdaline-$pid/$file" /proc/$pid/maps || fail "$file is not loaded from the bundle's copy: $*"
  done
  ! grep -q "$stick/" /proc/$pid/maps || fail "mapped from the stick: $(grep "$stick/" /proc/$pid/maps)"
  last=$pid
  kill $pid
  wait $pid || true
  pid=
}

window_starts "$stick/verdaline"
first=$last

# A FAT stick mounted with showexec: no execute bits, the start scripts go through the loader.
find "$stick" -type f -exec chmod a-x {} +
window_starts sh "$stick/verdaline.sh"
[ ! -e "$work/verdaline-$first" ] || fail "the copy of a killed window is left in the runtime folder"
sh "$stick/verdaline-cli.sh" status | grep -q "Стенд" || fail "verdaline-cli.sh status"
[ ! -e "$loader_folder/Списки_отчеты" ] || fail "a work area beside the loader in $loader_folder"
echo "the bundle runs without the system's Qt"
