#!/usr/bin/env bash
# Renders an HTML page (a port's result report, say Result/Result_Port_1.html) to a PNG with
# headless Chromium, to look at it as a user would.
#
#   scripts/render-report.sh REPORT.html [OUT.png] [WIDTH,HEIGHT]
#
# OUT defaults to the report's name with .png; the window is 1200,3000 pixels unless given.
# Needs Debian's chromium (apt-get install chromium); the pictures beside the report are
# loaded from its folder.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 3 ]; then
    sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
fi
report=$1
out=${2:-${report%.*}.png}
size=${3:-1200,3000}

if [ ! -f "$report" ]; then
    echo "no such file: $report" >&2
    exit 2
fi
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
    echo "chromium is not installed (apt-get install chromium)" >&2
    exit 3
fi

profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT

"$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --hide-scrollbars --window-size="$size" \
    --screenshot="$(realpath -m "$out")" "$(realpath "$report")" 2>/dev/null
echo "$out"
