#!/usr/bin/env bash
# Pictures of the desktop program for the README: the main window with port 1 running the demo
# scenario on the simulator (every page of its window) and port 2 as the answering station; then
# the database windows over two earlier demo runs, one of them with the incoming side busy.
# Runs under a virtual X server (xvfb-run, from zev7.sh's packages); writes docs/screenshots/.
#   scripts/screenshots.sh [OUTPUT_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshots}"
scale=20

# shellcheck source=scripts/demo_home.sh
. scripts/demo_home.sh
demo_fresh_home

# Two runs for the database pictures: the demo network as it is, then the same network whose
# incoming side answers busy to half of the calls, which puts that cycle above its loss norm.
cat >"$home/busy.ini" <<'INI'
[network]
seed = 13
[faults]
busy-ringback = 0.5
[COM1]
number = 1111111
[COM2]
number = 2222222
rings = 2
INI
# Half the tour's speed: on a busy machine the faster clock loses calls of its own.
run_scale=$((scale / 2))
for config in "" "$home/busy.ini"; do
    demo_sim_start "$home" "$run_scale" "$config" >/dev/null
    ZEV7_TIME_SCALE=$run_scale build/bin/zev7-run --home "$home" 1:demo.scn >/dev/null || true
    demo_sim_stop
done

demo_sim_start "$home" "$scale" >/dev/null

mkdir -p "$out"
# --screenshots starts port 1's scenario, lets it make a few calls, photographs each page and
# ends the program.
ZEV7_HOME="$home" ZEV7_TIME_SCALE=$scale xvfb-run -a -s "-screen 0 1280x860x24" \
    build/bin/zev7-tour --open 1:demo.scn --answer 2:demo.scn --screenshots "$(realpath "$out")"
ls -1 "$out"/*.png
