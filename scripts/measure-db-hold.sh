#!/usr/bin/env bash
# How long ordinary other writers hold the results database while the ports measure: the
# port threads wait this long (and more) for a busy database before a call is given up.
#   scripts/measure-db-hold.sh [CYCLES] [CALLS]   (default 10000 cycles of 100 calls: 1 000 000
#                                                  test calls, a year of four busy ports)
# Needs build/bin/zev7-dbgen and the sqlite3 client. Prints the time each writer holds the
# write lock:
#   - one port storing one test call (the writer the other ports meet most);
#   - the database window deleting a month of cycles with their calls and results;
#   - an outside client updating every call row in one statement.
set -euo pipefail
cd "$(dirname "$0")/.."
cycles="${1:-10000}"
calls="${2:-100}"
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
build/bin/zev7-dbgen --home "$home" --cycles "$cycles" --calls "$calls" --fresh | tail -2
db="$home/ZEV7DBASE/ZEV7.sqlite"

held() {  # label, SQL run inside one write transaction; prints the seconds the lock is held
    local start end
    start=$(date +%s.%N)
    sqlite3 "$db" "PRAGMA synchronous=FULL; BEGIN IMMEDIATE; $2; COMMIT;" >/dev/null
    end=$(date +%s.%N)
    awk -v l="$1" -v s="$start" -v e="$end" 'BEGIN { printf "%-50s %8.3f s\n", l, e - s }'
}

first=$(sqlite3 "$db" "SELECT MIN(DATE_ON) FROM Table_Cycle")
month_end=$(sqlite3 "$db" "SELECT date(MIN(DATE_ON), '+1 month') FROM Table_Cycle")
month="SELECT CYCLE_ID FROM Table_Cycle WHERE DATE_ON < '$month_end'"
held "one test call: its row, measurements, 16 results" \
    "INSERT INTO Table_Seans (CYCLE_ID, SEANS_ID, DATE_ON, TIME_ON, DAY_WEEK_ID, DATE_OFF, TIME_OFF, DURATION_SEANS, CONNECT_ID) SELECT CYCLE_ID, 100000, DATE_ON, TIME_ON, 1, DATE_OFF, TIME_OFF, '00:00:25', 0 FROM Table_Cycle LIMIT 1; UPDATE Table_ResCycle SET RESCYC_VALUE_CNT = RESCYC_VALUE_CNT WHERE CYCLE_ID = (SELECT MAX(CYCLE_ID) FROM Table_Cycle)"
held "database window: delete the month from $first" \
    "DELETE FROM Table_ResSeans WHERE CYCLE_ID IN ($month); DELETE FROM Table_Seans WHERE CYCLE_ID IN ($month); DELETE FROM Table_ResCycle WHERE CYCLE_ID IN ($month); DELETE FROM Table_Sett_Cycle_Dec WHERE CYCLE_ID IN ($month); DELETE FROM Table_Cycle WHERE CYCLE_ID IN ($month)"
held "sqlite3 client: update every call row" \
    "UPDATE Table_Seans SET CONNECT_ID = CONNECT_ID"
