#!/usr/bin/env bash
# Sixteen ports at time scale 20 against zev7-sim: 8 callers (odd ports) each calling its own
# answering station (the even port after it) for MINUTES, then the outcomes of every stored call.
# On this network every call should succeed: any other outcome is a call the timing misjudged.
#   scripts/serial-soak.sh BIN_DIR HOME MINUTES      (HOME is emptied first)
set -u
bin=$1 home=$2 minutes=$3
rm -rf "$home"; mkdir -p "$home/Scenar"
: > "$home/sim.ini"
args=()
for k in 1 2 3 4 5 6 7 8; do
    c=$((2*k-1)); s=$((2*k))
    printf '[COM%d]\nnumber = %d\n[COM%d]\nnumber = %d\nanswer = on\nrings = 2\n' $c $((5000000+c)) $s $((6000000+s)) >> "$home/sim.ini"
    f="$home/Scenar/c$c.scn"
    "$bin/zev7-scn" new "$f" >/dev/null
    "$bin/zev7-scn" set-out "$f" -/-/-/-/-/$((5000000+c))/- >/dev/null
    "$bin/zev7-scn" add-cycle "$f" -/-/-/-/-/$((6000000+s))/- >/dev/null
    "$bin/zev7-scn" set "$f" --cycle 1 minAttempts=2000 maxAttempts=2000 >/dev/null
    args+=(--answer $s:c$c.scn $c:c$c.scn)
done
ZEV7_TIME_SCALE=20 "$bin/zev7-sim" --home "$home" --config "$home/sim.ini" > "$home/sim.out" 2>&1 &
sim=$!
for i in $(seq 100); do [ -e "$home/dev/COM16" ] && break; sleep 0.1; done
ZEV7_TIME_SCALE=20 "$bin/zev7-run" --home "$home" "${args[@]}" > "$home/run.out" 2>&1 &
run=$!
sleep $((minutes*60))
kill -TERM $run; wait $run
kill $sim; wait $sim 2>/dev/null
db=$(ls "$home"/ZEV7DBASE/*.sqlite 2>/dev/null | head -1)
echo "== $home"
sqlite3 "$db" "SELECT CONNECT_ID, COUNT(*) FROM Table_Seans GROUP BY CONNECT_ID ORDER BY 2 DESC;"
