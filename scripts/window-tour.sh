#!/usr/bin/env bash
# Every window as a new user first sees it: a fresh program directory, a window manager, each
# window opened at the size it chooses itself and photographed alone (the port window's pages,
# the cycle settings, the five live graphs, the scheme, the database selection and list, the
# statistics windows, every database graph, deletion and import). Look at every picture: a cut
# label ("..."), a window too small to read or overlapping texts are faults.
#   scripts/window-tour.sh [OUTPUT_DIR]      (default docs/screenshots/default-size)
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshots/default-size}"
scale=20

# shellcheck source=scripts/demo_home.sh
. scripts/demo_home.sh
demo_fresh_home
# One earlier run fills the database for its windows.
demo_sim_start "$home" $((scale / 2)) >/dev/null
ZEV7_TIME_SCALE=$((scale / 2)) build/bin/zev7-run --home "$home" 1:demo.scn >/dev/null || true
demo_sim_stop

demo_sim_start "$home" "$scale" >/dev/null
rm -rf "$out"
mkdir -p "$out"
# The window manager gives the main window and the dialogs their frames, as on a desktop.
ZEV7_HOME="$home" ZEV7_TIME_SCALE=$scale xvfb-run -a -s "-screen 0 1280x860x24" bash -c '
    openbox >/dev/null 2>&1 &
    wm=$!
    build/bin/zev7-tour --open 1:demo.scn --answer 2:demo.scn --screenshots "$1" --default-sizes
    rc=$?
    kill "$wm" 2>/dev/null
    exit $rc' tour "$(realpath "$out")"
ls -1 "$out"/*.png
