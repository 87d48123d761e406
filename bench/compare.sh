#!/usr/bin/env bash
# Side-by-side cost of とことこ, of the floor (a bare Qt 6 window with one 250-point glyph,
# built here from bench/floor.cpp) and of TIPP10 where it is installed (apt-get install
# tipp10), under Xvfb 1920×1080 with openbox, in one run:
#   - launch to the first window mapped, and to its first frame with something drawn
#     (round-robin, median of 7, timed from the X server's map and damage events by photon);
#   - resident memory 3 s after start, and CPU time in 20 s idle;
#   - CPU time per keystroke (200 keys from xdotool) in the key guide, the finger drill, a
#     running game, the Japanese line practice and the Japanese timed challenge; each figure
#     counts only if a screenshot taken right after the typing shows the typed text drawn
#     (the screenshot tests' checker), and is refused otherwise;
#   - key-to-photon: the time from an X key press to the first damage of the window that
#     shows the new text, in the key guide and the line practice, median and 99th percentile
#     of 520 keys, taken in turns with the floor's.
#
#   bash bench/compare.sh [build/tokotoko] > table.md
#
# Needs the test packages of scripts/setup.sh and libx11-dev libxext-dev libxdamage-dev
# libxtst-dev (photon).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
app=${1:-$here/../build/tokotoko}
source "$here/../tests/e2e/lib-screen.sh" "$app"
source "$here/lib-bench.sh"

tools=$E2E_TMP/bench
mkdir -p "$tools"
g++ -O2 -std=c++20 -fPIC "$here/floor.cpp" -o "$tools/floor" \
    $(pkg-config --cflags --libs Qt6Widgets) || e2e_fail "cannot build the floor"
cc -O2 "$here/photon.c" -o "$tools/photon" -lX11 -lXext -lXdamage -lXtst ||
    e2e_fail "cannot build photon (libx11-dev libxext-dev libxdamage-dev libxtst-dev)"
tipp10=$(command -v tipp10 || true)

SCREEN_WIDTH=1920 SCREEN_RATIO=1
E2E_OPENBOX_RC=$(readlink -f "$here/../tests/e2e/openbox-rc.xml") e2e_start_display 1920 1080
screen_write_texts

# A desktop session has its D-Bus session bus. Without one, each Qt program starts a bus of its
# own on its launch path (dbus-launch), which no learner's desktop does.
if [[ -z ${DBUS_SESSION_BUS_ADDRESS:-} ]]; then
    e2e_require dbus-launch
    eval "$(dbus-launch --sh-syntax)" || e2e_fail "dbus-launch"
    E2E_PIDS+=("$DBUS_SESSION_BUS_PID")
fi


stop() {
    kill "$APP_PID" 2>/dev/null
    wait "$APP_PID" 2>/dev/null
    APP_PID=
}

# Each program as a command; TIPP10 keeps its settings in a home of its own, made on a first
# launch that is not counted.
declare -A command=([floor]="$tools/floor" [tokotoko]="$E2E_APP")
names=(floor)
if [[ -n $tipp10 ]]; then
    mkdir -p "$E2E_TMP/tipp10-home"
    command[tipp10]="env HOME=$E2E_TMP/tipp10-home $tipp10"
    names+=(tipp10)
fi
names+=(tokotoko) # last: it stays running for the keystroke rows

# launch <name>: sets APP_PID, MAPPED and FRAME (ms).
launch() {
    local out
    out=$(cd "$E2E_TMP" && "$tools/photon" launch ${command[$1]}) || e2e_fail "$1: no first frame"
    read -r MAPPED FRAME APP_PID <<<"$out"
}

declare -A maps frames
for name in "${names[@]}"; do # warm-up: caches filled, TIPP10's first-run files made
    launch "$name"
    sleep 1
    kill "$APP_PID"
done
for round in 1 2 3 4 5 6 7; do
    for name in "${names[@]}"; do
        launch "$name"
        maps[$name]+="$MAPPED " frames[$name]+="$FRAME "
        sleep 1
        kill "$APP_PID"
        e2e_poll 5 bash -c '! kill -0 "$1" 2>/dev/null' _ "$APP_PID"
    done
done

# After a launch: memory 3 s after start, then CPU in 20 s of idle.
declare -A rss private idle
for name in "${names[@]}"; do
    launch "$name"
    sleep 3
    rss[$name]=$(awk '/^VmRSS/ { printf "%.1f", $2 / 1024 }' "/proc/$APP_PID/status")
    # What the process alone maps: the resident figure less the pages (libraries, font files)
    # that another running program maps too.
    private[$name]=$(awk '/^Private_(Clean|Dirty)/ { s += $2 } END { printf "%.1f", s / 1024 }' \
        "/proc/$APP_PID/smaps_rollup")
    before=$(cpu_us "$APP_PID")
    sleep 20
    idle[$name]=$(ms $(($(cpu_us "$APP_PID") - before)))
    [[ $name == tokotoko ]] || kill "$APP_PID"
done

# key_cpu <pid> <keycode...>: the CPU time (µs) of <pid> while the keys are typed, 15 ms apart.
key_cpu() {
    local pid=$1 before
    shift
    sleep 1
    before=$(cpu_us "$pid")
    xdotool key --delay 15 "$@"
    sleep 1
    echo $(($(cpu_us "$pid") - before))
}

# per_key <keycode...>: CPU ms per key (two decimals) of the tutor for the keys given.
per_key() { ms "$(key_cpu "$APP_PID" "$@")" $#; }


# in_turns <program file> <program window> <floor file> <blocks> -- <keycode...>: key-to-photon
# of the program and of the floor, taken in turns: <blocks> times the keys given to the program,
# each time after as many keys to the floor. Short blocks share the slow spells out evenly.
# No key may repeat the text already shown, or it changes nothing on screen and counts as a
# missed key: the keystroke rows leave both windows on A, so the blocks start on B.
in_turns() {
    local mine=$1 window=$2 floors=$3 blocks=$4 block
    shift 5
    for ((block = 0; block < blocks; block++)); do
        on "$FLOOR_WIN"
        "$tools/photon" latencies "$FLOOR_WIN" $# 56 54 40 38 >>"$floors"
        on "$window"
        "$tools/photon" latencies "$window" $# "$@" >>"$mine"
    done
}

# Into a text box: a to z, then all rubbed out again, three times, then a to z: 182 keys, the
# line growing to 26 characters (as long as the box shows whole) and back.
box_keys() {
    local out=() i
    for ((i = 0; i < 3; i++)); do out+=("${LETTERS[@]}" $(repeat 26 $BACKSPACE)); done
    printf '%s ' "${out[@]}" "${LETTERS[@]}"
}

# From here the floor runs beside the tutor, and the keystroke figures of the two are taken in
# turns, a block of keys each: a slow spell of this virtual machine (every program's keys then
# cost several times more, for seconds) falls on both alike.
"$tools/floor" >/dev/null 2>&1 &
FLOOR_PID=$!
E2E_PIDS+=("$FLOOR_PID")
FLOOR_WIN=$(timeout 15 xdotool search --sync --all --onlyvisible --pid "$FLOOR_PID" --name '^floor$' |
    head -n1)
[[ -n $FLOOR_WIN ]] || e2e_fail "no floor window"

WIN=$(xdotool search --all --onlyvisible --pid "$APP_PID" --name '^とことこいりぐち$' | head -n1)
e2e_focus
SCREEN_ENTRANCE=$WIN

# The key guide (entry 1): the letters, each block ending on A; the floor in turns.
e2e_key 10
e2e_wait_window '押せばわかる'
GUIDE_WIN=$WIN
guide_us=0 floor_us=0
for block in 1 2 3; do
    on "$FLOOR_WIN"
    floor_us=$((floor_us + $(key_cpu "$FLOOR_PID" $(repeat 61 38 56 54 40))))
    on "$GUIDE_WIN"
    guide_us=$((guide_us + $(key_cpu "$APP_PID" $(repeat 60 "${LETTERS[@]:1}") 38)))
done
floor_key=$(ms "$floor_us" 183)
guide_key=$(proven "$(ms "$guide_us" 183)" bench-keyguide frmKeyGuide 'lblKey=ａ' 'lblYomi=Ａ')
in_turns "$E2E_TMP/guide.lat" "$GUIDE_WIN" "$E2E_TMP/floor-guide.lat" 20 -- "${LETTERS[@]:1}" 38
read -r guide_median guide_p99 guide_missed <<<"$(percentiles "$E2E_TMP/guide.lat")"
read -r floor_median floor_p99 floor_missed <<<"$(percentiles "$E2E_TMP/floor-guide.lat")"
e2e_key alt+70
e2e_wait_window 'とことこいりぐち'

# The finger drill (entry 2): its cycle of keys, typed right.
e2e_key 11
e2e_wait_window 'どのゆびつかうの'
drill_key=$(per_key $(repeat 200 41 27 55 42 28 56 44 30 58 43 29 57 40 26 54 45 31 59 39 25 53 46 32 60 38 24 52 47 33 61))
drill_key=$(proven "$drill_key" bench-fingers frmYubiren 'lblKey=?' 'lblYubiHyoji=?')
e2e_key Escape
e2e_wait_window 'とことこいりぐち'

# The alphabet game (entry 3), running: letters, hits and misses.
e2e_key 12
e2e_wait_window 'アルファベットに挑戦'
e2e_key $KEY_SPACE
game_key=$(per_key $(repeat 200 "${LETTERS[@]}"))
game_key=$(proven "$game_key" bench-game frmYubiren2 'lblKey=?' 'lblMaru=?' 'lblBatsu=?')
e2e_key Escape

# open_text_window <digit keycode> <title> <text file>: opens the window, loads the text and
# starts it with Enter.
open_text_window() {
    e2e_key "$1"
    e2e_wait_window "$2"
    e2e_open_file "$E2E_TMP/$3"
    e2e_wait_window "$2"
    e2e_key $KEY_RETURN
}

# box_key_cost <shot> <form>: CPU per key typed into the input box, proven on screen.
box_key_cost() {
    proven "$(per_key $(box_keys))" "$1" "$2" 'txtNyuryoku=abcdefghijklmnopqrstuvwxyz' \
        'txtHyoji=いい天気ですね'
}

close_text_window() {
    e2e_menu alt+41 53
    e2e_wait_window 'とことこいりぐち'
}

# The Japanese line practice (entry 5), its 80-point input box.
screen_to_entrance
open_text_window 14 '応用日本語入力　１' japanese.txt
lines_key=$(box_key_cost bench-lines frmJapanese_1)
# Each block a to z and rubbed out again, so each starts on an empty box.
in_turns "$E2E_TMP/lines.lat" "$WIN" "$E2E_TMP/floor-lines.lat" 10 -- \
    "${LETTERS[@]}" $(repeat 26 $BACKSPACE)
read -r lines_median lines_p99 lines_missed <<<"$(percentiles "$E2E_TMP/lines.lat")"
read -r floor2_median floor2_p99 floor2_missed <<<"$(percentiles "$E2E_TMP/floor-lines.lat")"
close_text_window

# The Japanese timed challenge (entry 6), running.
open_text_window 15 '応用日本語入力　３分' japanese1.txt
timed_key=$(box_key_cost bench-timed frmJapanese)
close_text_window
stop

cell() { [[ -n $tipp10 ]] && printf '%s' "$1" || printf 'not installed'; }
m() { median ${maps[$1]}; }
f() { median ${frames[$1]}; }
cat <<TABLE
| Measure | floor | TIPP10 | とことこ | とことこ ÷ floor |
|---|---|---|---|---|
| launch → first window mapped (median of 7) | $(m floor) ms | $(cell "$(m tipp10 2>/dev/null) ms") | $(m tokotoko) ms | $(ratio "$(m tokotoko)" "$(m floor)") |
| launch → first frame with something drawn (median of 7) | $(f floor) ms | $(cell "$(f tipp10 2>/dev/null) ms") | $(f tokotoko) ms | $(ratio "$(f tokotoko)" "$(f floor)") |
| resident memory 3 s after start | ${rss[floor]} MiB | $(cell "${rss[tipp10]:-} MiB") | ${rss[tokotoko]} MiB | $(ratio "${rss[tokotoko]}" "${rss[floor]}") |
| of which mapped by this process alone (Private_Clean + Private_Dirty) | ${private[floor]} MiB | $(cell "${private[tipp10]:-} MiB") | ${private[tokotoko]} MiB | $(ratio "${private[tokotoko]}" "${private[floor]}") |
| CPU while idle (at the entrance), per 20 s | ${idle[floor]} ms | $(cell "${idle[tipp10]:-} ms") | ${idle[tokotoko]} ms | |
| CPU per keystroke, key guide (183 keys, in turns with the floor's) | ${floor_key} ms | — | ${guide_key} ms | $(ratio "$guide_key" "$floor_key") |
| CPU per keystroke, finger drill (200 keys) | | — | ${drill_key} ms | |
| CPU per keystroke, alphabet game running (200 keys) | | — | ${game_key} ms | |
| CPU per keystroke, Japanese line practice, 80-pt box (182 keys) | | — | ${lines_key} ms | |
| CPU per keystroke, Japanese timed challenge (182 keys) | | — | ${timed_key} ms | |

Key-to-photon (X key press to the damage that shows the new text, 60 ms apart; 520 keys of
the tutor's window in blocks of 26 or 52, each block after as many keys to the floor):

| Window | median | 99th percentile | keys with no damage within 1 s |
|---|---|---|---|
| floor, in turns with the key guide | ${floor_median} ms | ${floor_p99} ms | ${floor_missed} |
| key guide (520 keys) | ${guide_median} ms | ${guide_p99} ms | ${guide_missed} |
| floor, in turns with the line practice | ${floor2_median} ms | ${floor2_p99} ms | ${floor2_missed} |
| Japanese line practice (520 keys) | ${lines_median} ms | ${lines_p99} ms | ${lines_missed} |
TABLE
