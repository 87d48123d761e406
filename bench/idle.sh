#!/usr/bin/env bash
# CPU time (all threads, from schedstat) of a program idling for 20 s under Xvfb with openbox,
# after 3 s to settle; with no program given, of the four bench/idle_repaint modes.
#   bash bench/idle.sh [program args...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$tmp"' EXIT
export DISPLAY=:77
Xvfb :77 -screen 0 1920x1080x24 >/dev/null 2>&1 &
until xdpyinfo >/dev/null 2>&1; do sleep 0.1; done
openbox >/dev/null 2>&1 &

cpu_us() { cat /proc/"$1"/task/*/schedstat | awk '{ s += $1 } END { printf "%d", s / 1000 }'; }
idle() {
    "$@" >/dev/null 2>&1 &
    local pid=$!
    sleep 3
    local before; before=$(cpu_us "$pid")
    sleep 20
    echo "$* : $(( ($(cpu_us "$pid") - before) / 1000 )) ms per 20 s"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

if (($#)); then
    idle "$@"
else
    g++ -O2 -std=c++20 -fPIC "$here/idle_repaint.cpp" -o "$tmp/idle_repaint" \
        $(pkg-config --cflags --libs Qt6Widgets)
    for mode in label fill window none; do idle "$tmp/idle_repaint" "$mode"; done
fi
