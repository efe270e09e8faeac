#!/usr/bin/env bash
# Ports at time scale 20 against zev7-sim: PAIRS callers (odd ports) each calling its own
# answering station (the even port after it) for MINUTES, then the outcomes of every stored
# call, the calls the protocol reported against those stored, and the processor time of both
# programs. On this network every call should succeed: any other outcome is a call the timing
# misjudged.
#   scripts/serial-soak.sh BIN_DIR HOME MINUTES [PAIRS]   (HOME is emptied first; PAIRS 1..32,
#                                                          default 8: sixteen ports)
set -u
bin=$1 home=$2 minutes=$3 pairs=${4:-8}
if ! [[ $pairs =~ ^[0-9]+$ ]] || [ "$pairs" -lt 1 ] || [ "$pairs" -gt 32 ]; then
    echo "PAIRS: 1..32" >&2; exit 2
fi
rm -rf "$home"; mkdir -p "$home/Scenar"
: > "$home/sim.ini"
args=()
for k in $(seq "$pairs"); do
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
for i in $(seq 100); do [ -e "$home/dev/COM$((2*pairs))" ] && break; sleep 0.1; done
ZEV7_TIME_SCALE=20 "$bin/zev7-run" --home "$home" "${args[@]}" > "$home/run.out" 2>&1 &
run=$!
sleep $((minutes*60))
# User and system time of a process in seconds, while it still runs.
cpu() { awk -v hz="$(getconf CLK_TCK)" '{ sub(/^.*\) /, ""); print ($12 + $13) / hz }' "/proc/$1/stat"; }
run_cpu=$(cpu $run) sim_cpu=$(cpu $sim)
kill -TERM $run; wait $run
kill $sim; wait $sim 2>/dev/null
db=$(ls "$home"/ZEV7DBASE/*.sqlite 2>/dev/null | head -1)
echo "== $home: $((2*pairs)) ports, $minutes min"
sqlite3 "$db" "SELECT CONNECT_ID, COUNT(*) FROM Table_Seans GROUP BY CONNECT_ID ORDER BY 2 DESC;"
echo "calls in the protocol: $(grep -c '^COM[0-9]*: вызов [0-9]*:' "$home/run.out"), stored: $(sqlite3 "$db" 'SELECT COUNT(*) FROM Table_Seans;')"
awk -v r="$run_cpu" -v s="$sim_cpu" -v t="$((minutes*60))" 'BEGIN {
    printf "processor: zev7-run %.1f s (%.1f %% of a core), zev7-sim %.1f s (%.1f %%)\n", r, 100*r/t, s, 100*s/t }'
# Stalls of either program by the machine, if any (counted at real pace).
grep -H "останавливал" "$home/sim.out" "$home/run.out" || true
