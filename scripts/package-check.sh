#!/usr/bin/env bash
# Tries the Debian package as a user gets it, without installing it on this machine: unpacks it
# into a temporary root (dpkg -x), checks that it holds what it promises, validates its menu entry
# (desktop-file-validate) and the package (lintian: errors fail, warnings are shown), then runs
# the demo scenario with the unpacked zev7-run against the unpacked zev7-sim from a fresh home,
# where the installed programs keep their working folders (~/.local/share/zev7).
#   scripts/package-check.sh build/zev7_<version>_amd64.deb
set -euo pipefail
deb=$(realpath "$1")
cd "$(dirname "$0")/.."

fail() {
    echo "package-check: $*" >&2
    exit 1
}

work=$(mktemp -d)
DEMO_SIM=
cleanup() {
    [ -z "$DEMO_SIM" ] || demo_sim_stop
    rm -rf "$work"
}
trap cleanup EXIT
root=$work/root
dpkg -x "$deb" "$root"

programs=(zev7 zev7-run zev7-scn zev7-sim zev7-db zev7-dbgen)
files=(usr/share/zev7/help/index.html usr/share/zev7/demo.scn usr/share/applications/zev7.desktop
    usr/share/icons/hicolor/scalable/apps/zev7.svg usr/share/icons/hicolor/48x48/apps/zev7.png
    usr/share/doc/zev7/copyright usr/share/doc/zev7/changelog.gz)
for p in "${programs[@]}"; do
    files+=("usr/bin/$p" "usr/share/man/man1/$p.1.gz")
done
for f in "${files[@]}"; do
    [ -e "$root/$f" ] || fail "$f is missing from $deb"
done
dpkg-deb -f "$deb" Depends | grep -q qt6-translations-l10n || fail "no dependency on Qt's translations"

desktop-file-validate "$root/usr/share/applications/zev7.desktop"
echo "lintian $(basename "$deb"):"
lint=$(lintian --fail-on error "$deb" 2>&1) || {
    echo "$lint"
    fail "lintian found errors"
}
echo "$lint" | grep -v "root privileges" || echo "no errors, no warnings"

# A fresh user: no ZEV7_HOME, an empty home.
export HOME=$work/home
mkdir "$HOME"
unset ZEV7_HOME XDG_DATA_HOME
bin=$root/usr/bin
"$bin/zev7" --help | grep -q "ZEV7_HOME" || fail "zev7 --help says nothing of the program directory"
[ -z "$(ls -A "$HOME")" ] || fail "zev7 --help made files in the home"
[ "$(find "$bin" -mindepth 1 | wc -l)" -eq "${#programs[@]}" ] || fail "zev7 --help made files beside itself"

DEMO_BIN=$bin
# shellcheck source=scripts/demo_home.sh
. scripts/demo_home.sh
home=$HOME/.local/share/zev7
scale=10  # half the demo's speed: on a busy machine the faster clock loses calls of its own
mkdir -p "$home"
demo_sim_start "$home" "$scale"
ZEV7_TIME_SCALE=$scale timeout --signal=INT --kill-after=10 150 \
    "$bin/zev7-run" "1:$root/usr/share/zev7/demo.scn" || fail "the demo did not complete"
demo_sim_stop
DEMO_SIM=
[ -s "$home/Result/Result_Port_1.html" ] || fail "the demo left no report in $home/Result"
[ -s "$home/ZEV7DBASE/ZEV7.sqlite" ] || fail "the demo left no database in $home/ZEV7DBASE"
echo "package-check: $(basename "$deb") passed"
