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
#     of 500 keys.
#
#   bash bench/compare.sh [build/tokotoko] > table.md
#
# Needs the test packages of scripts/setup.sh and libx11-dev libxext-dev libxdamage-dev
# libxtst-dev (photon).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
app=${1:-$here/../build/tokotoko}
source "$here/../tests/e2e/lib-screen.sh" "$app"

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

# CPU time of all the threads of a process in microseconds (schedstat counts nanoseconds; the
# clock-tick counters of /proc/<pid>/stat are too coarse for idle and per-key costs).
cpu_us() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d", s / 1000 }'; }
ms() { awk -v u="$1" -v d="${2:-1}" 'BEGIN { printf "%.2f", u / 1000 / d }'; }
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f×", a / b; else print "n/a" }'; }

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
declare -A rss idle
for name in "${names[@]}"; do
    launch "$name"
    sleep 3
    rss[$name]=$(awk '/^VmRSS/ { printf "%.1f", $2 / 1024 }' "/proc/$APP_PID/status")
    before=$(cpu_us "$APP_PID")
    sleep 20
    idle[$name]=$(ms $(($(cpu_us "$APP_PID") - before)))
    [[ $name == tokotoko ]] || kill "$APP_PID"
done

# per_key <keycode...>: CPU ms per key (two decimals) for the keys given, 15 ms apart.
per_key() {
    sleep 1
    local before
    before=$(cpu_us "$APP_PID")
    xdotool key --delay 15 "$@"
    sleep 1
    ms $(($(cpu_us "$APP_PID") - before)) $#
}

# repeat <count> <keycode...>: the keycodes cycled to make up `count` keys.
repeat() {
    local count=$1 out=() i
    shift
    local keys=("$@")
    for ((i = 0; i < count; i++)); do out+=("${keys[i % ${#keys[@]}]}"); done
    printf '%s ' "${out[@]}"
}

# proven <figure> <shot> <form> <checks...>: the figure when the screenshot passes the checks,
# "refused" otherwise.
proven() {
    local figure=$1
    shift
    if (SCREEN_WAIT=3 screen_expect "$@") 2>>"$E2E_TMP/proofs.log"; then
        printf '%s' "$figure"
    else
        printf 'refused (nothing drawn)'
    fi
}

readonly LETTERS=(38 56 54 40 26 41 42 43 31 44 45 46 58 57 32 33 24 27 39 28 30 55 25 53 29 52) # a to z
readonly BACKSPACE=22
# Into a text box: a to z, then all rubbed out again, three times, then a to z: 182 keys, the
# line growing to 26 characters (as long as the box shows whole) and back.
box_keys() {
    local out=() i
    for ((i = 0; i < 3; i++)); do out+=("${LETTERS[@]}" $(repeat 26 $BACKSPACE)); done
    printf '%s ' "${out[@]}" "${LETTERS[@]}"
}

WIN=$(xdotool search --all --onlyvisible --pid "$APP_PID" --name '^とことこいりぐち$' | head -n1)
e2e_focus
SCREEN_ENTRANCE=$WIN

# The key guide (entry 1): all the letters, ending on A.
e2e_key 10
e2e_wait_window '押せばわかる'
guide_key=$(per_key $(repeat 182 "${LETTERS[@]:1}" 38))
guide_key=$(proven "$guide_key" bench-keyguide frmKeyGuide 'lblKey=ａ' 'lblYomi=Ａ')
read -r guide_median guide_p99 guide_missed <<<"$("$tools/photon" keys "$WIN" 500 "${LETTERS[@]}")"
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
read -r lines_median lines_p99 lines_missed <<<"$("$tools/photon" keys "$WIN" 500 \
    "${LETTERS[@]}" $(repeat 26 $BACKSPACE))"
close_text_window

# The Japanese timed challenge (entry 6), running.
open_text_window 15 '応用日本語入力　３分' japanese1.txt
timed_key=$(box_key_cost bench-timed frmJapanese)
close_text_window
stop

# The floor, last: its one glyph follows each key.
launch floor
WIN=$(xdotool search --all --onlyvisible --pid "$APP_PID" --name '^floor$' | head -n1)
e2e_focus
floor_key=$(per_key $(repeat 200 38 56 54 40))
read -r floor_median floor_p99 floor_missed <<<"$("$tools/photon" keys "$WIN" 500 38 56 54 40)"
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
| CPU while idle (at the entrance), per 20 s | ${idle[floor]} ms | $(cell "${idle[tipp10]:-} ms") | ${idle[tokotoko]} ms | |
| CPU per keystroke, key guide (182 keys) | ${floor_key} ms | — | ${guide_key} ms | $(ratio "$guide_key" "$floor_key") |
| CPU per keystroke, finger drill (200 keys) | | — | ${drill_key} ms | |
| CPU per keystroke, alphabet game running (200 keys) | | — | ${game_key} ms | |
| CPU per keystroke, Japanese line practice, 80-pt box (182 keys) | | — | ${lines_key} ms | |
| CPU per keystroke, Japanese timed challenge (182 keys) | | — | ${timed_key} ms | |

Key-to-photon (X key press to the damage that shows the new text, 500 keys, 60 ms apart):

| Window | median | 99th percentile | keys with no damage within 1 s |
|---|---|---|---|
| floor | ${floor_median} ms | ${floor_p99} ms | ${floor_missed} |
| key guide | ${guide_median} ms | ${guide_p99} ms | ${guide_missed} |
| Japanese line practice | ${lines_median} ms | ${lines_p99} ms | ${lines_missed} |
TABLE
