# Shared by zev7.sh, scripts/screenshots.sh and scripts/window-tour.sh (sourced, not run): the
# demonstration program directory with its scenario, and the simulator serving it.
#   demo_prepare HOME     writes HOME/Scenar/demo.scn: outgoing 1111111, one cycle to 2222222
#   demo_sim_start HOME K [CONFIG]
#                         starts zev7-sim (time scale K, the demo network or CONFIG) on
#                         HOME/dev/COM1, COM2; sets DEMO_SIM
#   demo_sim_stop         stops it
#   demo_fresh_home       builds the programs, sets home to a new prepared demo directory and
#                         removes it (stopping the simulator) when the script exits
# DEMO_BIN names the folder of the programs (default build/bin).
DEMO_BIN=${DEMO_BIN:-build/bin}

demo_prepare() {
    local home=$1
    mkdir -p "$home/Scenar"
    local scn="$home/Scenar/demo.scn"
    "$DEMO_BIN/zev7-scn" new "$scn"
    "$DEMO_BIN/zev7-scn" set-out "$scn" -/-/-/-/-/1111111/-
    "$DEMO_BIN/zev7-scn" add-cycle "$scn" -/-/-/-/-/2222222/-
    "$DEMO_BIN/zev7-scn" set "$scn" --cycle 1 minAttempts=5 maxAttempts=20
}

# The programs built and a fresh demo home in $home, removed with its simulator at exit.
demo_fresh_home() {
    cmake --build build --target zev7 zev7-sim zev7-scn zev7-run >/dev/null
    home="$(mktemp -d)"
    trap 'demo_sim_stop; rm -rf "$home"' EXIT
    demo_prepare "$home" >/dev/null
}

demo_sim_start() {
    local home=$1 scale=$2 config=${3:-} n i
    # Links left by an earlier run are removed first, so that only the new ones are waited for.
    for n in 1 2; do
        if [ -L "$home/dev/COM$n" ]; then rm -f "$home/dev/COM$n"; fi
    done
    ZEV7_TIME_SCALE=$scale "$DEMO_BIN/zev7-sim" --home "$home" ${config:+--config "$config"} \
        >"$home/zev7-sim.out" 2>&1 &
    DEMO_SIM=$!
    for i in $(seq 100); do
        [ -e "$home/dev/COM1" ] && [ -e "$home/dev/COM2" ] && break
        kill -0 "$DEMO_SIM" 2>/dev/null || break
        sleep 0.1
    done
    cat "$home/zev7-sim.out"
}

demo_sim_stop() {
    kill "$DEMO_SIM" 2>/dev/null || true
    wait "$DEMO_SIM" 2>/dev/null || true
}
