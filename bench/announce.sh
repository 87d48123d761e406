#!/usr/bin/env bash
# How soon the Japanese input box's announcements leave for the screen reader: the real program
# with real Orca and mozc under fcitx5 or IBus (as the Orca tests run them), "kami", Space,
# Space, Enter typed ROUNDS times (default 20) in the Japanese line practice, one key every
# 300 ms; each notification timed from the input-method event that caused it (the last of its
# burst), by announce_latency.py. The first round's first
# candidate is also the first look-up in the kanji table (mapped then), reported on its own.
#
#   bash bench/announce.sh [build/tokotoko] [fcitx5|ibus] > table.md
#
# Needs the test packages of scripts/setup.sh (root: the input method runs as a test user).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
app=$(readlink -f "${1:-$here/../build/tokotoko}")
E2E_IME_FRAMEWORK=${2:-fcitx5}
E2E_IME_USER=tokotoko-bench-$E2E_IME_FRAMEWORK
rounds=${ROUNDS:-20}
source "$here/../tests/e2e/lib-orca-ime.sh" "$app"

e2e_start_display
e2e_ime_start
e2e_orca_start_ime
e2e_start_app_ime
e2e_orca_wait_app
e2e_key 14 # the digit 5
e2e_wait_window '応用日本語入力　１'
e2e_ime_wait_japanese

if [[ $E2E_IME_FRAMEWORK == ibus ]]; then
    im_bus=$(e2e_ime_ibus_address)
else
    im_bus=$E2E_IME_BUS
fi
a11y_bus=$(e2e_ime_run dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
    org.a11y.Bus.GetAddress | tr -d ' ')
timings=$E2E_TMP/timings
install -m 644 -o "$E2E_IME_USER" /dev/null "$timings"
e2e_ime_run python3 "$here/announce_latency.py" "$E2E_IME_FRAMEWORK" "$im_bus" "$a11y_bus" \
    "$timings" >"$E2E_TMP/latency.log" 2>&1 &
E2E_PIDS+=($!)
e2e_poll 10 grep -q ready "$E2E_TMP/latency.log" || e2e_fail "the monitor did not start: $(cat "$E2E_TMP/latency.log")"

# The kanji table is mapped at the first candidate, not when the window opens.
mapped_at_opening=$(grep -c kanji-readings "/proc/$APP_PID/maps")
for ((round = 0; round < rounds; round++)); do
    for step in k a m i SPACE SPACE ENTER; do
        e2e_ime_type "$step"
        sleep 0.3 # a learner's pace, and time for each announcement to be said
    done
    e2e_key 22 # BackSpace: the committed kanji rubbed out for the next round
    sleep 0.3
done
sleep 1
cp "$timings" "$E2E_TMP/rows"
e2e_log "$(wc -l <"$E2E_TMP/rows") announcements for $((rounds * 7)) keys"

stats() { # "median | p99 | max" of the rows' second column
    cut -d' ' -f2 "$E2E_TMP/rows" | sort -n | awk '{ a[NR] = $1 } END {
        p = int(NR * 0.99 + 0.999); if (p < 1) p = 1
        printf "%.1f | %.1f | %.1f", a[int((NR + 1) / 2)], a[p], a[NR] }'
}
first_candidate=$(sed -n 5p "$E2E_TMP/rows" | cut -d' ' -f2)
echo "| $E2E_IME_FRAMEWORK, $(wc -l <"$E2E_TMP/rows") announcements | median | p99 | max |"
echo "|---|---|---|---|"
echo "| from the event that caused it (ms) | $(stats) |"
echo
echo "The first candidate, the kanji table's first look-up: ${first_candidate} ms after its event."
echo "Mappings of the kanji table with the window open, before any candidate:" \
    "$mapped_at_opening; after the run: $(grep -c kanji-readings "/proc/$APP_PID/maps")."

e2e_pass
