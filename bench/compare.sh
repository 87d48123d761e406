#!/usr/bin/env bash
# Side-by-side cost of とことこ and of the floor (a bare Qt 6 window with one 250-point glyph,
# built here from bench/floor.cpp), under Xvfb with openbox:
#   start-up to the first window mapped (median of 7), resident memory 3 s after start, CPU
#   time in 20 s idle, and CPU time per keystroke (200 keys sent with xdotool) in the key
#   guide, the finger guide drill and the Japanese line practice.
#
#   bash bench/compare.sh [build/tokotoko] > bench/compare.md
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
app=${1:-$here/../build/tokotoko}
source "$here/../tests/e2e/lib.sh" "$app"

floor_dir=$E2E_TMP/floor
mkdir -p "$floor_dir"
g++ -O2 -std=c++20 -fPIC "$here/floor.cpp" -o "$floor_dir/floor" \
    $(pkg-config --cflags --libs Qt6Widgets) || e2e_fail "cannot build the floor"

e2e_start_display 1920 1080
# CPU time of all the threads of a process in microseconds (schedstat counts nanoseconds; the
# clock-tick counters of /proc/<pid>/stat are too coarse for idle and per-key costs).
cpu_us() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d", s / 1000 }'; }
ms() { awk -v u="$1" -v d="${2:-1}" 'BEGIN { printf "%.2f", u / 1000 / d }'; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# launch <binary> <title>: starts it; sets APP_PID and LAUNCHED, the ms until the window
# system maps its first window. A watcher on the root window notes the map as it happens, so
# nothing polls (and competes for the two cores) while the program starts.
launch() {
    local mark=$E2E_TMP/mapped.$RANDOM
    (stdbuf -oL xev -root -event substructure | while read -r line; do
        [[ $line == MapNotify* ]] && { date +%s%N >"$mark"; break; }
    done) &
    local watcher=$!
    sleep 0.3
    local start
    start=$(date +%s%N)
    "$1" >/dev/null 2>&1 &
    APP_PID=$!
    until [[ -s $mark ]]; do
        kill -0 "$APP_PID" 2>/dev/null || e2e_fail "$1 ended during start-up"
        sleep 0.002
    done
    LAUNCHED=$((($(cat "$mark") - start) / 1000000))
    pkill -P "$watcher" 2>/dev/null
    kill "$watcher" 2>/dev/null
    e2e_poll 10 xdotool search --all --onlyvisible --pid "$APP_PID" --name "^$2\$" >/dev/null ||
        e2e_fail "$1 shows no window titled $2"
}

stop() {
    kill "$APP_PID" 2>/dev/null
    wait "$APP_PID" 2>/dev/null
    APP_PID=
}

# measure <binary> <title>: sets LAUNCH (median ms), RSS (MB), IDLE (ms CPU in 20 s); leaves
# the last instance running.
measure() {
    local times=() i
    for i in 1 2 3 4 5 6 7; do
        launch "$1" "$2"
        times+=("$LAUNCHED")
        ((i < 7)) && stop
    done
    LAUNCH=$(median "${times[@]}")
    sleep 3
    RSS=$(($(awk '/^VmRSS/ { print $2 }' "/proc/$APP_PID/status") / 1024))
    local before
    before=$(cpu_us "$APP_PID")
    sleep 20
    IDLE=$(ms $(($(cpu_us "$APP_PID") - before)))
}

# per_key <keys...>: CPU ms per key (two decimals) for 200 keys cycling through the list.
per_key() {
    local keys=("$@") sent=() i
    for ((i = 0; i < 200; i++)); do sent+=("${keys[i % ${#keys[@]}]}"); done
    sleep 1
    local before
    before=$(cpu_us "$APP_PID")
    xdotool key --delay 15 "${sent[@]}"
    sleep 1
    ms $(($(cpu_us "$APP_PID") - before)) 200
}

measure "$floor_dir/floor" floor
floor_launch=$LAUNCH floor_rss=$RSS floor_idle=$IDLE
floor_key=$(per_key 38 56 54 40)
stop

measure "$E2E_APP" 'とことこいりぐち'
app_launch=$LAUNCH app_rss=$RSS app_idle=$IDLE
WIN=$(xdotool search --all --onlyvisible --pid "$APP_PID" --name '^とことこいりぐち$' | head -n1)

# The key guide (entry 1): letters and digits.
e2e_key 10
e2e_wait_window '押せばわかる'
guide_key=$(per_key 38 56 54 40 11 12)
e2e_key alt+F4
e2e_wait_window 'とことこいりぐち'

# The finger guide drill (entry 2): the keys of its cycle, typed right.
e2e_key 11
e2e_wait_window 'どのゆびつかうの'
drill_key=$(per_key 41 27 55 42 28 56 44 30 58 43 29 57 40 26 54 45 31 59 39 25 53 46 32 60 38 24 52 47 33 61)
e2e_key Escape
e2e_wait_window 'とことこいりぐち'

# The Japanese line practice (entry 5): characters into the input box.
lines_key=n/a
e2e_key 14
if WIN=$(timeout 10 xdotool search --sync --all --onlyvisible --pid "$APP_PID" --name '^応用日本語入力　１$' 2>/dev/null | head -n1) && [[ -n $WIN ]]; then
    xdotool windowactivate --sync "$WIN" 2>/dev/null
    lines_key=$(per_key 38 39 40 41 42 43 44 45 46 22)
fi
stop

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f×", a / b; else print "n/a" }'; }
cat <<TABLE
| Measure | とことこ | floor | ratio | target |
|---|---|---|---|---|
| launch to first window mapped (median of 7) | ${app_launch} ms | ${floor_launch} ms | $(ratio "$app_launch" "$floor_launch") | ≤ 1.3× |
| resident memory 3 s after start | ${app_rss} MB | ${floor_rss} MB | $(ratio "$app_rss" "$floor_rss") | ≤ 1.3× |
| CPU in 20 s idle | ${app_idle} ms | ${floor_idle} ms | $(ratio "$app_idle" "$floor_idle") | ≤ 1.5× |
| CPU per keystroke, key guide (200 keys) | ${guide_key} ms | ${floor_key} ms | | < 2 ms |
| CPU per keystroke, finger guide drill (200 keys) | ${drill_key} ms | ${floor_key} ms | | < 2 ms |
| CPU per keystroke, Japanese line practice (200 keys) | ${lines_key} ms | ${floor_key} ms | | < 2 ms |
TABLE
