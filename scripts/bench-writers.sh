#!/usr/bin/env bash
# Eight processes of eight ports each storing test calls into one results database at once:
# the calls per second of all 64 ports together, and a check that every call reported stored
# is in Table_Seans. The database is the benchmarks' one (bench/bench_database.h): SQLite under
# /tmp/zev7-bench-<cycles>, or the server named by ZEV7_BENCH_DB.
#   scripts/bench-writers.sh [BUILD_DIR] [CYCLES]     (defaults: build, ZEV7_BENCH_CYCLES or 1000)
set -euo pipefail
build="${1:-build}"
cycles="${2:-${ZEV7_BENCH_CYCLES:-1000}}"
processes=8
bench="$build/bin/bench_db_scale"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
export ZEV7_BENCH_CYCLES="$cycles"

count_calls() {
    if [ -n "${ZEV7_BENCH_DB:-}" ]; then
        psql -qtAX "$ZEV7_BENCH_DB" -c "SELECT COUNT(*) FROM Table_Seans"
    else
        sqlite3 "/tmp/zev7-bench-$cycles/ZEV7DBASE/ZEV7.sqlite" "SELECT COUNT(*) FROM Table_Seans"
    fi
}

# The database generated once, before the writers meet.
"$bench" --benchmark_filter='^$' >/dev/null
before=$(count_calls)
pids=()
for i in $(seq 1 "$processes"); do
    "$bench" --benchmark_filter=BM_PortsStoringCalls --benchmark_format=json \
        >"$out/$i.json" 2>"$out/$i.err" &
    pids+=($!)
done
for pid in "${pids[@]}"; do
    wait "$pid"
done
after=$(count_calls)
python3 - "$out" "$before" "$after" "$processes" <<'PY'
import json, pathlib, sys
out, before, after, processes = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
rate = calls = lost = 0
for f in sorted(pathlib.Path(out).glob("*.json")):
    for b in json.loads(f.read_text())["benchmarks"]:
        rate += b.get("items_per_second", 0)
        calls += b["iterations"]
        lost += int(b.get("lost", 0))
print(f"{processes} processes x 8 ports: {rate:.0f} calls/s together; "
      f"{calls} calls stored, {lost} refused; Table_Seans grew by {after - before}")
sys.exit(0 if lost == 0 and after - before == calls else 1)
PY
