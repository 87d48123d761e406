#!/usr/bin/env bash
# Start-up, memory and idle cost of the entrance, measured under Xvfb with openbox.
#
#   bash bench/startup.sh [build/tokotoko] [runs]
#
# Prints a Markdown table: time from launch to the entrance window being mapped (median of
# `runs`), resident memory 3 s after start, and CPU time used during 20 s idle at the
# entrance (the title turns twice a second all the while).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
app=${1:-$here/../build/tokotoko}
runs=${2:-5}
source "$here/../tests/e2e/lib.sh" "$app"
e2e_start_display 1920 1080

# CPU time of all the threads of a process in ms (schedstat counts nanoseconds).
cpu_ms() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.1f", s / 1e6 }'; }

# The ms until the window system maps the program's first window, noted by a watcher on the
# root window as it happens, so that nothing polls (and competes for the cores) meanwhile.
launch_ms=()
for ((i = 0; i < runs; i++)); do
    mark=$E2E_TMP/mapped.$i
    (stdbuf -oL xev -root -event substructure | while read -r line; do
        [[ $line == MapNotify* ]] && { date +%s%N >"$mark"; break; }
    done) &
    watcher=$!
    sleep 0.3
    start=$(date +%s%N)
    "$E2E_APP" >/dev/null 2>&1 &
    APP_PID=$!
    until [[ -s $mark ]]; do
        kill -0 "$APP_PID" 2>/dev/null || e2e_fail "the program ended during start-up"
        sleep 0.002
    done
    launch_ms+=($((($(cat "$mark") - start) / 1000000)))
    pkill -P "$watcher" 2>/dev/null
    kill "$watcher" 2>/dev/null
    if ((i < runs - 1)); then
        kill "$APP_PID"
        wait "$APP_PID" 2>/dev/null
    fi
done
median=$(printf '%s\n' "${launch_ms[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')

sleep 3
rss_kb=$(awk '/^VmRSS/ { print $2 }' "/proc/$APP_PID/status")
cpu_before=$(cpu_ms "$APP_PID")
sleep 20
cpu_after=$(cpu_ms "$APP_PID")

cat <<TABLE
| Measure | Value | Target |
|---|---|---|
| launch to entrance mapped (median of $runs: ${launch_ms[*]} ms) | ${median} ms | < 300 ms |
| resident memory 3 s after start | $((rss_kb / 1024)) MB | < 80 MB |
| CPU time in 20 s idle at the entrance | $(awk -v a="$cpu_after" -v b="$cpu_before" 'BEGIN { printf "%.1f", a - b }') ms | < 50 ms |
TABLE
