#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) in
# build-fuzz and runs each for the given number of seconds (default 60) on its corpus.
#   scripts/fuzz.sh [SECONDS] [TARGET ...]    targets: scenario_file modem_reply ports_ini
#                                             sim_at_command sim_config batch_schedule
#                                             paradox_table sqlite_source
# Corpora grow in build-fuzz/corpus/<target>, seeded from fuzz/seeds, docs/sim-example.ini,
# scenario files made by zev7-scn and a small results database made by zev7-dbgen. A crash leaves its input in build-fuzz/crashes/<target>
# and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
((${#targets[@]})) || targets=(scenario_file modem_reply ports_ini sim_at_command sim_config batch_schedule
    paradox_table sqlite_source)
out=build-fuzz

cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DZEV7_FUZZ=ON -DZEV7_BUILD_TESTS=OFF -DZEV7_BUILD_BENCH=OFF >/dev/null
cmake --build "$out" --target zev7_fuzz zev7-scn zev7-dbgen

seed_scenarios() {
    local dir="$1" scn="$out/bin/zev7-scn"
    "$scn" new "$dir/empty.scn" >/dev/null
    cp "$dir/empty.scn" "$dir/two-cycles.scn"
    "$scn" set-out "$dir/two-cycles.scn" -/-/-/-/-/1111111/- >/dev/null
    "$scn" add-cycle "$dir/two-cycles.scn" -/-/-/-/-/2222222/- >/dev/null
    "$scn" add-cycle "$dir/two-cycles.scn" "P8W/-/(495)/-/P123/P4567/-" >/dev/null
    "$scn" set "$dir/two-cycles.scn" --cycle 2 "numEnum[5]=4570:1" holdMask=0x3f >/dev/null
}

seed_database() {
    local dir="$1" home
    home="$(mktemp -d)"
    ASAN_OPTIONS=detect_leaks=0 "$out/bin/zev7-dbgen" --home "$home" --cycles 3 --calls 4 \
        --fresh >/dev/null
    cp "$home/ZEV7DBASE/ZEV7.sqlite" "$dir/"
    rm -rf "$home"
}

# The [Ports] target writes ZEV7.ini into a temporary folder for every input: on a disk that is
# most of its time, in memory it runs about three times as fast.
if [[ -z "${TMPDIR:-}" && -d /dev/shm && -w /dev/shm ]]; then
    export TMPDIR=/dev/shm
fi

failed=0
for t in "${targets[@]}"; do
    corpus="$out/corpus/$t"
    crashes="$out/crashes/$t"
    mkdir -p "$corpus" "$crashes"
    case "$t" in
        scenario_file) seed_scenarios "$corpus" ;;
        sim_config) cp docs/sim-example.ini "$corpus/" ;;
        sqlite_source) seed_database "$corpus" ;;
        *) cp fuzz/seeds/"$t"/* "$corpus/" ;;
    esac
    echo "== $t: $seconds s"
    # ASan's leak check is off: Qt keeps a few process-wide objects until exit.
    if ! ASAN_OPTIONS=detect_leaks=0 "$out/bin/fuzz_$t" -max_total_time="$seconds" \
        -artifact_prefix="$crashes/" -print_final_stats=1 "$corpus" 2>"$out/fuzz_$t.log"; then
        failed=1
        echo "   CRASH: see $out/fuzz_$t.log and $crashes" >&2
    fi
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$out/fuzz_$t.log" || true
done
exit "$failed"
