#!/usr/bin/env bash
# Stops zev7-run with SIGINT at random moments of the demo run, COUNT times (default 200), and
# counts how each run ended: exit code 1 ("not every scenario was completed") is a clean stop,
# 0 a run that finished before the signal, anything else (a signal death, 134, 139, ...) a fault.
#   scripts/sigint-stops.sh [--load] [--hold-thread-ends] [COUNT] [BUILD_DIR]
# Each run has its own simulator and program directory under a temporary folder. The moment is
# drawn uniformly from the first MAX_MS milliseconds (default 8000) of the run. --load keeps
# every core busy with another process meanwhile (one busy loop per core, as on a machine
# shared with other work): faults that need an unlucky order of the threads show far more often.
# --hold-thread-ends makes the unlucky order of a thread's end the rule: every thread of zev7-run
# is held after its own work until the program begins to exit (scripts/thread-end-race.c, built
# with cc and preloaded), so whatever a thread still tears down after that meets the program's
# exit, as it does now and then on a loaded machine.
set -uo pipefail
load=0 hold=0
while [ "${1:-}" = "--load" ] || [ "${1:-}" = "--hold-thread-ends" ]; do
    [ "$1" = "--load" ] && load=1
    [ "$1" = "--hold-thread-ends" ] && hold=1
    shift
done
count=${1:-200}
bin=${2:-build}/bin
max_ms=${MAX_MS:-8000}
scale=20
work=$(mktemp -d)
# shellcheck source=scripts/demo_home.sh
. "$(dirname "$0")/demo_home.sh"
DEMO_BIN=$bin
loaders=()
stop_load() {
    local pid
    for pid in "${loaders[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
}
trap 'stop_load; rm -rf "$work"' EXIT
preload=
if [ "$hold" -eq 1 ]; then
    preload="$work/thread-end-race.so"
    cc -shared -fPIC -O2 -o "$preload" "$(dirname "$0")/thread-end-race.c" -ldl || exit 2
fi
if [ "$load" -eq 1 ]; then
    for _ in $(seq "$(nproc)"); do
        yes >/dev/null &
        loaders+=($!)
    done
fi

declare -A ends=()
done_runs=0
# The counts so far: at the end, or when the loop itself is stopped (SIGTERM, Ctrl+C).
summary() {
    local rc bad=0
    for rc in "${!ends[@]}"; do
        echo "exit code $rc: ${ends[$rc]} runs"
        if [ "$rc" -ne 1 ] && [ "$rc" -ne 0 ]; then
            bad=$(( bad + ${ends[$rc]} ))
        fi
    done
    echo "$done_runs stops$([ "$load" -eq 1 ] && echo " under load")$([ "$hold" -eq 1 ] &&
        echo " with thread ends held"), $bad ended by a fault"
    [ "$bad" -eq 0 ]
}
run=
sim=
trap 'kill $run $sim 2>/dev/null; wait $run $sim 2>/dev/null; summary; exit 130' INT TERM
for i in $(seq "$count"); do
    home="$work/run$i"
    mkdir -p "$home"
    demo_prepare "$home" >/dev/null
    demo_sim_start "$home" "$scale" >/dev/null
    sim=$DEMO_SIM
    ZEV7_TIME_SCALE=$scale LD_PRELOAD=$preload "$bin/zev7-run" --home "$home" 1:demo.scn >"$home/run.out" 2>&1 &
    run=$!
    sleep "$(awk -v r=$RANDOM -v m="$max_ms" 'BEGIN { printf "%.3f", (r / 32768) * m / 1000 }')"
    kill -INT "$run" 2>/dev/null
    wait "$run"
    rc=$?
    kill "$sim" 2>/dev/null
    wait "$sim" 2>/dev/null
    run=
    sim=
    ends[$rc]=$(( ${ends[$rc]:-0} + 1 ))
    done_runs=$i
    if [ "$rc" -ne 1 ] && [ "$rc" -ne 0 ]; then
        echo "run $i: exit code $rc" >&2
        tail -5 "$home/run.out" >&2
        if [ -f "$home/ZEV7.crash" ]; then
            head -20 "$home/ZEV7.crash" >&2
        fi
    fi
    rm -rf "$home"
done
summary
