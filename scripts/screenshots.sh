#!/usr/bin/env bash
# Pictures of the desktop program for the README: the main window with port 1 running the demo
# scenario on the simulator (every page of its window) and port 2 as the answering station.
# Runs under a virtual X server (xvfb-run, from zev7.sh's packages); writes docs/screenshots/.
#   scripts/screenshots.sh [OUTPUT_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshots}"
scale=20

cmake --build build --target zev7 zev7-sim zev7-scn >/dev/null
# shellcheck source=scripts/demo_home.sh
. scripts/demo_home.sh
home="$(mktemp -d)"
trap 'demo_sim_stop; rm -rf "$home"' EXIT
demo_prepare "$home" >/dev/null
demo_sim_start "$home" "$scale" >/dev/null

mkdir -p "$out"
# --screenshots starts port 1's scenario, lets it make a few calls, photographs each page and
# ends the program.
ZEV7_HOME="$home" ZEV7_TIME_SCALE=$scale xvfb-run -a -s "-screen 0 1280x860x24" \
    build/bin/zev7 --open 1:demo.scn --answer 2:demo.scn --screenshots "$(realpath "$out")"
ls -1 "$out"/*.png
