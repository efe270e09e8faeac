#!/usr/bin/env bash
# ZEV7 build and run script.
#   ./zev7.sh run    install what is missing, build, run the demo on the simulator: the desktop
#                    program when a display is set ($DISPLAY), else the headless port thread
#   ./zev7.sh test   install what is missing, build, run every test and each fuzz target briefly,
#                    build the package and try it unpacked (scripts/package-check.sh)
#   ./zev7.sh package  install what is missing, build, make build/zev7_<version>_amd64.deb
# Run as root or with sudo rights; it may be run again at any time.
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-serialport-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libqt6sql6-sqlite libqt6sql6-psql
    libgl-dev libxkbcommon-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    sqlite3 libsqlite3-dev pxlib-dev libquazip1-qt6-dev
    postgresql postgresql-common
    xvfb xauth fonts-dejavu-core
    clang libclang-rt-14-dev
    qt6-translations-l10n
    help2man librsvg2-bin dpkg-dev file gzip lintian desktop-file-utils man-db
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

# Prints the package's path.
package() {
    rm -f build/zev7_*.deb
    (cd build && cpack --config CPackConfig.cmake) >/dev/null
    ls build/zev7_*.deb
}

# shellcheck source=scripts/demo_home.sh
. scripts/demo_home.sh

run_demo() {
    local home="${ZEV7_DEMO_HOME:-$PWD/build/demo}"  # inside the ignored build folder
    local scale=20  # the simulator and the port threads agree on it: 20 times faster
    demo_prepare "$home"
    build/bin/zev7-scn show "$home/Scenar/demo.scn"
    # The simulated modems on dev/COM1 (calling) and dev/COM2 (answering station).
    demo_sim_start "$home" "$scale"

    local rc=0
    if [ -n "${DISPLAY:-}" ]; then
        # The desktop program: port 1's window holds the demo scenario ready for "Старт
        # сценария", port 2's window shows the answering station monitoring its calls.
        ZEV7_HOME="$home" ZEV7_TIME_SCALE=$scale build/bin/zev7 \
            --open 1:demo.scn --answer 2:demo.scn || rc=$?
        demo_sim_stop
        return "$rc"
    fi

    # No display: the port thread runs the scenario headless; Ctrl+C stops it cleanly.
    ZEV7_TIME_SCALE=$scale timeout --signal=INT --kill-after=10 150 \
        build/bin/zev7-run --home "$home" 1:demo.scn || rc=$?
    demo_sim_stop
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
        # The package as a user gets it: unpacked into a temporary root, tried from a fresh home.
        deb=$(package)
        scripts/package-check.sh "$deb"
        ;;
    package)
        install_missing
        build
        package
        ;;
    *)
        echo "usage: $0 run|test|package" >&2
        exit 2
        ;;
esac
