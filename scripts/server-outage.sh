#!/usr/bin/env bash
# A station on a server whose server stops for a while in the middle of a run. zev7-run
# measures on the demo network (zev7-sim, 20 times faster than real time) into a throwaway
# PostgreSQL cluster; once the server holds a few calls it is stopped, left stopped for
# OUTAGE seconds of real time, and started again. The run goes on into the station's spool and
# sends it when the server answers. At the end the calls on the server (psql) are counted
# against those the run made (the rows of its report, one per accounted call): none missing,
# none twice; the protocol's lines about the server, once each; nothing left in the spool.
#   scripts/server-outage.sh [OUTAGE_SECONDS]     (default 60; build in build/)
# Exit 0 when every check holds.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
outage=${1:-60}
[[ $outage =~ ^[0-9]+$ ]] || { echo "OUTAGE_SECONDS: a whole number of seconds" >&2; exit 2; }
command -v pg_virtualenv >/dev/null || { echo "pg_virtualenv is missing (postgresql-common)" >&2; exit 1; }
cmake --build build --target zev7-run zev7-sim zev7-scn zev7-db >/dev/null || exit 1

# shellcheck disable=SC2016  # expanded inside the cluster's environment
pg_virtualenv -t -o fsync=off bash -c '
    outage=$0
    . scripts/demo_home.sh
    port=$(pg_lsclusters -h | awk "{print \$3}")
    createdb zev7_outage || exit 1
    export ZEV7_DB="postgresql://$PGUSER@localhost:$port/zev7_outage"
    home=$(mktemp -d)
    trap "demo_sim_stop; rm -rf \"$home\"" EXIT
    demo_prepare "$home" >/dev/null
    # One cycle long enough that the server is back well before its end (a call takes about
    # two seconds at this time scale): 40 calls, and two more for every second of the outage.
    calls=$((40 + 2 * outage))
    "$DEMO_BIN/zev7-scn" set "$home/Scenar/demo.scn" --cycle 1 minAttempts=$calls maxAttempts=$calls
    demo_sim_start "$home" 20 >/dev/null
    sql() { psql -d zev7_outage -tAc "$1" 2>/dev/null; }

    ZEV7_TIME_SCALE=20 "$DEMO_BIN/zev7-run" --home "$home" 1:demo.scn:outage.html \
        >"$home/run.out" 2>&1 &
    run=$!
    until [ "$(sql "SELECT COUNT(*) FROM Table_Seans")" -ge 5 ] 2>/dev/null; do
        kill -0 $run 2>/dev/null || { echo "zev7-run ended before the outage"; cat "$home/run.out"; exit 1; }
        sleep 0.5
    done
    echo "server stopped after $(sql "SELECT COUNT(*) FROM Table_Seans") calls; down for $outage s"
    pg_ctlcluster "$PGVERSION" regress stop -m fast || exit 1
    sleep "$outage"
    pg_ctlcluster "$PGVERSION" regress start || exit 1
    echo "server started again"
    wait $run
    echo "zev7-run exit code $?"

    made=$(grep -c "<tr><td align=center>[0-9]" "$home/Result/outage.html")
    rows=$(sql "SELECT COUNT(*) FROM Table_Seans")
    distinct=$(sql "SELECT COUNT(*) FROM (SELECT DISTINCT CYCLE_ID, SEANS_ID FROM Table_Seans) s")
    measured=$(sql "SELECT COUNT(*) FROM Table_ResSeans")
    counted=$(sql "SELECT RESCYC_VALUE_CNT FROM Table_ResCycle WHERE PARAM_RES_ID = 1")
    protocol="$home/Protocol/ProtocolComPort1.txt"
    away=$(iconv -f CP1251 -t UTF-8 "$protocol" | grep -c "Сервер БД недоступен")
    back=$(iconv -f CP1251 -t UTF-8 "$protocol" | grep -c "Сервер БД снова доступен")
    lost=$(iconv -f CP1251 -t UTF-8 "$protocol" | grep -c "Не могу записать в БД")
    left=$("$DEMO_BIN/zev7-db" --home "$home" --db "$ZEV7_DB" push 2>&1 | tail -1)
    echo "calls in the report: $made"
    echo "calls on the server: $rows rows, $distinct distinct (cycle, call), $measured measurement rows, cycle counts $counted attempts"
    echo "protocol: \"server away\" $away, \"server back\" $back, \"cannot write\" $lost"
    iconv -f CP1251 -t UTF-8 "$protocol" | grep "Сервер БД"
    echo "spool: $left"
    ok=1
    [ "$made" -gt 0 ] && [ "$rows" = "$made" ] && [ "$distinct" = "$made" ] &&
        [ "$measured" = "$made" ] && [ "$counted" = "$made" ] || ok=0
    [ "$away" = 1 ] && [ "$back" = 1 ] && [ "$lost" = 0 ] || ok=0
    case $left in *"нет результатов"*) ;; *) ok=0 ;; esac
    if [ $ok = 1 ]; then echo "OK: every call once on the server"; else echo "FAILED"; exit 1; fi
' "$outage"
