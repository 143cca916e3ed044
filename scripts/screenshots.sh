#!/usr/bin/env bash
# scripts/screenshots.sh OUTDIR: PNG screenshots of the desktop program (the
# main window in each of its four layouts, the tray menu, the eight pages of
# the settings sheet, the two template dialogs and the log details of a
# forwarded mail) on a virtual X display, from the program's own window
# classes with sample accounts. Fails when a text shown has characters no
# installed font can draw or a label, box or button is cut short.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:?usage: scripts/screenshots.sh OUTDIR}
build_dir=${BUILD_DIR:-build}
[ -d "$build_dir" ] || scripts/build.sh
cmake --build "$build_dir" -j"$(nproc)" --target velnora_screenshots >/dev/null
mkdir -p "$out"
out=$(cd "$out" && pwd)
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" "$build_dir/tests/velnora_screenshots" "$out"
