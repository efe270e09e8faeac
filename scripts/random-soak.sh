#!/usr/bin/env bash
# Random input to the desktop program for as long as asked: clicks, double and right clicks,
# keys, typed text, menu commands, port windows opened and closed, scenarios started and
# stopped, and every box or dialog that comes up answered at random; with 4 ports calling and 4
# answering stations on the simulator (time scale 20), under a virtual X server with a window
# manager. The same seed sends the same events in the same order (what they meet depends on the
# program's timing). A program that ends by itself (the user's "Выход") is started again.
#   scripts/random-soak.sh [-b BUILD_DIR] [-s SEED] [-m MINUTES] [-o OUT_DIR]
# BUILD_DIR defaults to build; a sanitizer build (-DZEV7_SANITIZE=ON) writes its reports to
# OUT_DIR/asan.*. The program and the simulator run as the user "nobody" in a fresh home: random
# keys in a file dialog can save or delete files, and nobody may touch only its own. Faults
# (an exit by a signal or with a non-zero code, sanitizer reports, "ZEV7.crash") are listed at
# the end with the seed and the event number; the exit code is 1 when there was one.
# A program that does not end within 20 s of the final SIGTERM is a fault too (its stacks are
# kept). Needs xvfb-run, xdotool, openbox and setpriv; ImageMagick's import for the pictures of
# faults; gdb for the stacks of a hung program.
set -uo pipefail
cd "$(dirname "$0")/.."

build=build seed=$RANDOM minutes=30 out=
while getopts "b:s:m:o:" opt; do
    case $opt in
        b) build=$OPTARG ;;
        s) seed=$OPTARG ;;
        m) minutes=$OPTARG ;;
        o) out=$OPTARG ;;
        *) sed -n 8p "$0" >&2; exit 2 ;;
    esac
done
bin=$(realpath "$build/bin")
# The scenario tool and the simulator may come from the release build.
tools=$bin
[ -x "$tools/zev7-sim" ] && [ -x "$tools/zev7-scn" ] || tools=$(realpath build/bin)
out=${out:-$(mktemp -d /tmp/zev7-soak.XXXXXX)}
mkdir -p "$out"
out=$(realpath "$out")

if [ -z "${SOAK_DISPLAY_READY:-}" ]; then
    # -ac: the program runs as another user, without this user's X cookie.
    SOAK_DISPLAY_READY=1 exec xvfb-run -a -s "-screen 0 1280x860x24 -ac" \
        "$0" -b "$build" -s "$seed" -m "$minutes" -o "$out"
fi

scale=20
user=nobody
group=$(id -gn "$user")
home=$(mktemp -d /tmp/zev7-soak-home.XXXXXX)
log="$out/events.log"
: >"$log"
chmod 777 "$out"
sim= prog= wm= main=
mx=0 my=0 mw=800 mh=600
starts=0 events=0 boxes=0 faults=0 fault_list=

stop_all() {
    [ -n "$prog" ] && kill "$prog" 2>/dev/null && wait "$prog" 2>/dev/null
    [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
    [ -n "$wm" ] && kill "$wm" 2>/dev/null && wait "$wm" 2>/dev/null
}
trap 'stop_all; rm -rf "$home"' EXIT
trap 'exit 130' INT TERM HUP

# Run in the background (`as_user ... &`): exec keeps the PID of the program itself in $!.
as_user() {
    exec setpriv --reuid="$user" --regid="$group" --clear-groups \
        env -u XAUTHORITY HOME="$home" ZEV7_HOME="$home" ZEV7_TIME_SCALE=$scale \
        ASAN_OPTIONS="log_path=$out/asan:detect_leaks=0" \
        UBSAN_OPTIONS="print_stacktrace=1:log_path=$out/ubsan" "$@"
}

# ---- The home: 4 calling ports and 4 stations ------------------------------------------------
mkdir -p "$home/Scenar"
cfg="$home/sim.ini"
printf '[network]\nseed = %s\n' "$seed" >"$cfg"
for p in 1 2 3 4; do
    s=$((p + 4))
    scn="$home/Scenar/p$p.scn"
    "$tools/zev7-scn" new "$scn" >/dev/null
    "$tools/zev7-scn" set-out "$scn" "-/-/-/-/-/100000$p/-" >/dev/null
    "$tools/zev7-scn" add-cycle "$scn" "-/-/-/-/-/200000$s/-" >/dev/null
    "$tools/zev7-scn" add-cycle "$scn" "-/-/-/-/-/200000$s/-" >/dev/null
    # Start windows open for years: at 20 times real speed an hour passes in three minutes.
    "$tools/zev7-scn" set "$scn" --cycle 1 minAttempts=5 maxAttempts=20 "startUntil=31.12.36 23:59" \
        >/dev/null
    "$tools/zev7-scn" set "$scn" --cycle 2 minAttempts=5 maxAttempts=20 "startUntil=31.12.36 23:59" \
        >/dev/null
    printf '[COM%s]\nnumber = 100000%s\n[COM%s]\nnumber = 200000%s\nrings = 2\n' \
        "$p" "$p" "$s" "$s" >>"$cfg"
done
cp "$home/Scenar/p1.scn" "$home/Scenar/st.scn"
chown -R "$user:$group" "$home"

openbox >/dev/null 2>&1 &
wm=$!
as_user "$tools/zev7-sim" --home "$home" --config "$cfg" >"$out/zev7-sim.out" 2>&1 &
sim=$!
for _ in $(seq 100); do
    [ -e "$home/dev/COM8" ] && break
    sleep 0.1
done

# ---- Random numbers: bash's own generator, seeded; R holds the last draw ----------------------
RANDOM=$seed
R=0
draw() { R=$((RANDOM % $1)); }
note() { echo "$events $(date +%T) $*" >>"$log"; }

main_window() { xdotool search --onlyvisible --pid "$prog" --name '^ВЕРСА-ТЛ' 2>/dev/null | head -1; }

start_program() {
    starts=$((starts + 1))
    as_user "$bin/zev7" --open 1:p1.scn --open 2:p2.scn --open 3:p3.scn --open 4:p4.scn \
        --answer 5:st.scn --answer 6:st.scn --answer 7:st.scn --answer 8:st.scn \
        >"$out/zev7.$starts.out" 2>&1 &
    prog=$!
    note "start $starts (pid $prog)"
    main=
    for _ in $(seq 300); do
        main=$(main_window)
        [ -n "$main" ] && break
        kill -0 "$prog" 2>/dev/null || break
        sleep 0.1
    done
    if [ -n "$main" ]; then
        # The client area's corner on the screen (the frame of the window manager excluded).
        local info
        info=$(xwininfo -id "$main")
        mx=$(awk '/Absolute upper-left X/ { print $NF }' <<<"$info")
        my=$(awk '/Absolute upper-left Y/ { print $NF }' <<<"$info")
        mw=$(awk '/Width:/ { print $NF }' <<<"$info")
        mh=$(awk '/Height:/ { print $NF }' <<<"$info")
    fi
}

fault() {
    faults=$((faults + 1))
    fault_list+="  event $events (seed $seed): $*"$'\n'
    note "FAULT $*"
    import -window root "$out/fault$faults.png" 2>/dev/null || true
}

# The program has ended: by "Выход" (code 0) it is started again; anything else is a fault.
check_program() {
    kill -0 "$prog" 2>/dev/null && return 0
    wait "$prog"
    local rc=$?
    note "program ended, exit code $rc"
    [ "$rc" -ne 0 ] && fault "start $starts ended with exit code $rc (zev7.$starts.out)"
    [ -e "$home/ZEV7.crash" ] && fault "ZEV7.crash: $(head -3 "$home/ZEV7.crash" | tr '\n' ' ')" &&
        mv "$home/ZEV7.crash" "$out/ZEV7.crash.$starts"
    start_program
}

keys=(Return Escape Tab shift+Tab space Up Down Left Right Home End Prior Next Delete BackSpace
    F1 F2 F3 F4 F5 F6 F7 F8 F9 F10 F11 F12 ctrl+F3 ctrl+F4 ctrl+Tab alt+F4 ctrl+a ctrl+c ctrl+v
    1 2 3 5 9 0 a z minus period comma alt+f alt+s)

# The menu bar's titles (Файл, Сценарий, База данных, Окна, Помощь), from the window's left edge.
menus=(27 89 175 246 301)

# One event at random: where the mouse goes is drawn inside the main window.
random_event() {
    local x y n
    draw "$mw"; x=$((mx + R))
    draw "$mh"; y=$((my + R))
    draw 100
    if ((R < 35)); then
        note "click $x $y"; xdotool mousemove "$x" "$y" click 1
    elif ((R < 45)); then
        note "double-click $x $y"; xdotool mousemove "$x" "$y" click --repeat 2 1
    elif ((R < 50)); then
        note "right-click $x $y"; xdotool mousemove "$x" "$y" click 3
    elif ((R < 65)); then
        draw ${#keys[@]}
        note "key ${keys[R]}"; xdotool key "${keys[R]}"
    elif ((R < 70)); then
        draw 100000
        note "type $R"; xdotool type --delay 20 "$R"
    elif ((R < 80)); then
        # A calling port's window comes forward from the port box and its scenario is started.
        draw 4
        note "start port $((R + 1))"
        xdotool mousemove $((mx + 60)) $((my + 38)) click 1 sleep 0.3
        xdotool key Home
        for _ in $(seq "$R"); do xdotool key Down; done
        xdotool key Return sleep 0.3 mousemove $((mx + 375)) $((my + 38)) click 1
    elif ((R < 90)); then
        # A menu command: one of the five menus of the menu bar, then an item of it.
        draw ${#menus[@]}; x=$((mx + menus[R]))
        draw 12; n=$R
        note "menu at $x, item $n"
        xdotool mousemove "$x" $((my + 10)) click 1 sleep 0.3
        for _ in $(seq "$n"); do xdotool key Down; done
        xdotool key Return
    else
        # A port window from the toolbar's port box: it opens, or comes forward when open.
        draw 8
        note "port box, port $((R + 1))"
        xdotool mousemove $((mx + 60)) $((my + 38)) click 1 sleep 0.3
        xdotool key Home
        for _ in $(seq "$R"); do xdotool key Down; done
        xdotool key Return
    fi
}

# Every visible window of the program other than the main one is a box or dialog (or a menu):
# answered at random.
answer_boxes() {
    local w name
    for w in $(xdotool search --onlyvisible --pid "$prog" 2>/dev/null); do
        [ "$w" = "$main" ] && continue
        name=$(xdotool getwindowname "$w" 2>/dev/null) || continue
        [ -z "$name" ] && continue
        # The help window stays open beside the program: now and then it is closed.
        if [[ $name == Помощь* ]]; then
            draw 10
            ((R == 0)) && note "help window closed" && xdotool windowactivate "$w" key alt+F4
            continue
        fi
        draw 100
        ((R >= 60)) && continue
        boxes=$((boxes + 1))
        xdotool windowactivate "$w" 2>/dev/null
        draw 4
        case $R in
            0 | 1) note "box '$name': Return"; xdotool key Return ;;
            2) note "box '$name': Escape"; xdotool key Escape ;;
            3) note "box '$name': Tab Return"; xdotool key Tab Return ;;
        esac
    done
}

start_program
end=$((SECONDS + minutes * 60))
while ((SECONDS < end)); do
    events=$((events + 1))
    random_event
    sleep 0.15
    answer_boxes
    check_program
    # A look at the screen now and then (the latest one is kept).
    ((events % 50 == 0)) && import -window root "$out/latest.png" 2>/dev/null
done

note "done"
# SIGTERM ends the program within its 10 s whatever is open on the screen; one still there
# after 20 s hangs: its threads' stacks are kept, then it is killed.
kill "$prog" 2>/dev/null
for _ in $(seq 200); do
    kill -0 "$prog" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$prog" 2>/dev/null; then
    fault "no end within 20 s of SIGTERM (stacks in hang-stacks.txt)"
    gdb -p "$prog" -batch -ex "thread apply all bt 25" >"$out/hang-stacks.txt" 2>&1
    kill -9 "$prog" 2>/dev/null
fi
wait "$prog" 2>/dev/null
# What the runs left: protocols, reports, the database.
cp -r "$home/Protocol" "$home/Result" "$home/ZEV7DBASE" "$out/" 2>/dev/null
for f in "$out"/asan.* "$out"/ubsan.*; do
    [ -e "$f" ] && fault "sanitizer report $(basename "$f"): $(grep -m1 -E 'ERROR|runtime error' "$f")"
done
grep -h -E "runtime error|ASSERT|QObject::.*different thread" "$out"/zev7.*.out 2>/dev/null |
    sort | uniq -c | head -20 >"$out/warnings.txt"
echo "seed $seed, $minutes min, build $build: $events events, $boxes boxes answered," \
    "$starts program starts, $faults faults (log: $log)"
[ -n "$fault_list" ] && printf '%s' "$fault_list"
[ "$faults" -eq 0 ]
