#!/usr/bin/env bash
# Kills zev7-run with SIGKILL at a random moment of the demo run and restarts it on the same
# home against the same, still running simulated modems, COUNT times (default 100). The
# restart must find its modem whatever state the killed run left it in (off-hook in a call,
# half way through a reply): it counts restarts whose first exchange failed ("Нет ответа"),
# whose first call was lost as "Занято на исходящей", and any that ended by a signal.
#   scripts/kill-restarts.sh [COUNT] [BUILD_DIR]
set -uo pipefail
count=${1:-100}
bin=${2:-build}/bin
max_ms=${MAX_MS:-6000}
scale=20
home=$(mktemp -d)
trap 'kill "$sim" 2>/dev/null; rm -rf "$home"' EXIT

# shellcheck source=scripts/demo_home.sh
. "$(dirname "$0")/demo_home.sh"
DEMO_BIN=$bin
demo_prepare "$home" >/dev/null
"$bin/zev7-scn" set "$home/Scenar/demo.scn" --cycle 1 minAttempts=2 maxAttempts=2 >/dev/null
demo_sim_start "$home" "$scale" >/dev/null
sim=$DEMO_SIM

noAnswer=0 busyFirst=0 faults=0 done=0
for i in $(seq "$count"); do
    ZEV7_TIME_SCALE=$scale "$bin/zev7-run" --home "$home" 1:demo.scn >/dev/null 2>&1 &
    run=$!
    sleep "$(awk -v r=$RANDOM -v m="$max_ms" 'BEGIN { printf "%.3f", (r / 32768) * m / 1000 }')"
    kill -KILL "$run" 2>/dev/null
    wait "$run" 2>/dev/null
    ZEV7_TIME_SCALE=$scale timeout --signal=INT 120 "$bin/zev7-run" --home "$home" 1:demo.scn \
        >"$home/restart.out" 2>&1
    rc=$?
    protocol=$(iconv -f WINDOWS-1251 -t UTF-8 "$home/Protocol/ProtocolComPort1.txt" 2>/dev/null)
    if grep -q "Нет ответа" <<<"$protocol"; then
        noAnswer=$((noAnswer + 1))
        echo "restart $i: no answer" >&2
    fi
    first=$(grep -m1 "вызов 1:" "$home/restart.out" || true)
    if grep -q "Занято на исх" <<<"$first"; then
        busyFirst=$((busyFirst + 1))
        echo "restart $i: first call busy on the outgoing side" >&2
    fi
    if [ "$rc" -ne 0 ] && [ "$rc" -ne 1 ]; then
        faults=$((faults + 1))
        echo "restart $i: exit code $rc" >&2
        tail -3 "$home/restart.out" >&2
    fi
    [ "$rc" -eq 0 ] && done=$((done + 1))
done
echo "$count restarts: $done completed, $noAnswer without an answer at the start," \
    "$busyFirst lost their first call as busy, $faults ended by a signal"
[ "$noAnswer" -eq 0 ] && [ "$busyFirst" -eq 0 ] && [ "$faults" -eq 0 ]
