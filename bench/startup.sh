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

ticks=$(getconf CLK_TCK)
cpu_ms() { # user + system time of a process in ms
    awk -v t="$ticks" '{ printf "%d", ($14 + $15) * 1000 / t }' "/proc/$1/stat"
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }

launch_ms=()
for ((i = 0; i < runs; i++)); do
    start=$(now_ms)
    "$E2E_APP" >/dev/null 2>&1 &
    APP_PID=$!
    until xdotool search --onlyvisible --pid "$APP_PID" --name '^とことこいりぐち$' >/dev/null 2>&1; do
        kill -0 "$APP_PID" 2>/dev/null || e2e_fail "the program ended during start-up"
    done
    launch_ms+=($(($(now_ms) - start)))
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
| CPU time in 20 s idle at the entrance | $((cpu_after - cpu_before)) ms | < 50 ms |
TABLE
