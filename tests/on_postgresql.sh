#!/usr/bin/env bash
# Runs database test programs a second time with the results on a PostgreSQL server: a
# throwaway cluster in a temporary folder (pg_virtualenv), made for this run and removed after
# it. A server that cannot start fails the run; it is never skipped.
#   tests/on_postgresql.sh PROGRAM...
# GTEST_FILTER, when set, is handed to every program as it is.
set -uo pipefail

fail() {
    echo "**************************************************************" >&2
    echo "FAILED: the PostgreSQL test server could not be used: $*" >&2
    echo "**************************************************************" >&2
    exit 1
}

(($# > 0)) || fail "no test program named"
command -v pg_virtualenv >/dev/null || fail "pg_virtualenv is missing (Debian package postgresql-common)"
[ -f /usr/lib/x86_64-linux-gnu/qt6/plugins/sqldrivers/libqsqlpsql.so ] ||
    ls /usr/lib/*/qt6/plugins/sqldrivers/libqsqlpsql.so >/dev/null 2>&1 ||
    fail "Qt's PostgreSQL driver is missing (Debian package libqt6sql6-psql)"

marker=$(mktemp)
trap 'rm -f "$marker"' EXIT
# shellcheck disable=SC2016  # expanded inside the cluster's environment
pg_virtualenv -t -o fsync=off -o synchronous_commit=off -o full_page_writes=off \
    bash -c '
        createdb zev7_test || exit 1
        echo started > "$0"
        export ZEV7_TEST_PG=postgresql:///zev7_test
        status=0
        for program in "$@"; do
            echo "== $program on PostgreSQL"
            "$program" || status=1
        done
        exit $status' "$marker" "$@"
status=$?
[ -s "$marker" ] || fail "the throwaway cluster did not start (see above)"
exit $status
