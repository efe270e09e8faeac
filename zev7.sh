#!/usr/bin/env bash
# ZEV7 build and run script.
#   ./zev7.sh run    install what is missing, build, run the demo scenario on the simulator
#   ./zev7.sh test   install what is missing, build, run every test and each fuzz target briefly
# Run as root or with sudo rights; it may be run again at any time.
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite
    libgl-dev libxkbcommon-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    sqlite3
    clang libclang-rt-14-dev
)

install_missing() {
    local missing=() p
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    ((${#missing[@]} == 0)) && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build
}

run_demo() {
    local home="${ZEV7_DEMO_HOME:-$PWD/build/demo}"  # inside the ignored build folder
    local scale=20  # the simulator and the port threads agree on it: 20 times faster
    mkdir -p "$home/Scenar"
    local scn="$home/Scenar/demo.scn"
    build/bin/zev7-scn new "$scn"
    build/bin/zev7-scn set-out "$scn" -/-/-/-/-/1111111/-
    build/bin/zev7-scn add-cycle "$scn" -/-/-/-/-/2222222/-
    build/bin/zev7-scn set "$scn" --cycle 1 minAttempts=5 maxAttempts=20
    build/bin/zev7-scn show "$scn"

    # The simulated modems on dev/COM1 (calling) and dev/COM2 (answering station); links left
    # by an earlier run are removed first, so that only the new ones are waited for.
    local n
    for n in 1 2; do
        if [ -L "$home/dev/COM$n" ]; then rm -f "$home/dev/COM$n"; fi
    done
    ZEV7_TIME_SCALE=$scale build/bin/zev7-sim --home "$home" >"$home/zev7-sim.out" 2>&1 &
    local sim=$!
    local i
    for i in $(seq 100); do
        [ -e "$home/dev/COM1" ] && [ -e "$home/dev/COM2" ] && break
        kill -0 "$sim" 2>/dev/null || break
        sleep 0.1
    done
    cat "$home/zev7-sim.out"

    # The port thread runs the scenario; Ctrl+C stops it cleanly.
    local rc=0
    ZEV7_TIME_SCALE=$scale timeout --signal=INT --kill-after=10 150 \
        build/bin/zev7-run --home "$home" 1:demo.scn || rc=$?
    kill "$sim" 2>/dev/null || true
    wait "$sim" 2>/dev/null || true
    echo "Protocol (Windows-1251): $home/Protocol/ProtocolComPort1.txt"
    echo "    iconv -f WINDOWS-1251 -t UTF-8 $home/Protocol/ProtocolComPort1.txt"
    echo "Result report (HTML, Windows-1251): $home/Result/Result_Port_1.html"
    echo "Results database (SQLite): $home/ZEV7DBASE/ZEV7.sqlite"
    echo "    sqlite3 -header $home/ZEV7DBASE/ZEV7.sqlite 'SELECT * FROM Table_Seans JOIN Table_ResSeans USING (CYCLE_ID, SEANS_ID)'"
    return "$rc"
}

case "${1:-}" in
    run)
        install_missing
        build
        run_demo
        ;;
    test)
        install_missing
        build
        QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2
        # Every fuzz target is built and run briefly, so that none of them rots.
        scripts/fuzz.sh 5
        ;;
    *)
        echo "usage: $0 run|test" >&2
        exit 2
        ;;
esac
