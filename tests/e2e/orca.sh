#!/usr/bin/env bash
# labels: e2e orca
# The real Orca screen reader with the real program, started as a learner starts it (nothing
# in its environment turns accessibility on): the program must appear on the accessibility
# bus because Orca runs. Orca names the entrance and reads the focused entry, and the next
# one after Down. In the key guide it says where the learner is, then each key's name and
# reading. In the Japanese line practice it says the line to type and a wrong line's verdict
# with the counts; ten closings of the Open-file dialog in a row (a file chosen by its name,
# or cancelled) each give the window back to Orca, which names it again; so does closing the
# version box, after which Orca still echoes the keys typed; and a quick Alt+F, X reaches the
# menu and closes the window, every time.
# timeout: 300
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/lib-audio.sh"
source "$(dirname "$0")/lib-orca.sh"

TEXT_WINDOW='応用日本語入力　１'

e2e_start_display
e2e_orca_start
orca_mark
e2e_start_app
e2e_orca_wait_app
orca_wait_said '^とことこいりぐち' 20 >/dev/null
orca_wait_said '押せばわかる' >/dev/null

# The key guide: Orca says where the learner is, then each key's name and reading.
e2e_key 10 # the digit 1
e2e_wait_window '押せばわかる'
orca_wait_said 'Alt＋F4で終了' >/dev/null
e2e_key 38 # a
orca_wait_said 'notification ａ、Ａ' >/dev/null
e2e_key 14 # the digit 5: a key without a reading
orca_wait_said 'notification ５\.?$' >/dev/null
e2e_key alt+F4
orca_wait_said '^(とことこいりぐち|押せばわかる read only)' >/dev/null
(($(e2e_count_windows '押せばわかる') == 0)) || e2e_fail "the key guide is still open"

e2e_key Down
orca_wait_said 'どの指使うの' >/dev/null

e2e_key 14 # the digit 5
e2e_wait_window "$TEXT_WINDOW"
orca_wait_said "^$TEXT_WINDOW" >/dev/null
# The X keyboard focus is back in the text window, given back by the program and the window
# manager, not by the test.
wait_focus_back() {
    local win
    win=$(xdotool search --all --onlyvisible --pid "$APP_PID" --name "^${TEXT_WINDOW}\$" | head -n1)
    e2e_poll 10 bash -c 'focus=$(xdotool getwindowfocus 2>/dev/null); [[ $focus == "$1" ]] ||
        xwininfo -children -id "$1" 2>/dev/null | grep -q "^ *$focus "' _ "$win" ||
        e2e_fail "the text window did not get the keyboard focus back"
}

for ((n = 1; n <= 10; n++)); do
    e2e_key ctrl+32 # Ctrl+O
    orca_wait_said '^開く' >/dev/null
    if ((n % 2)); then
        # The learner types the name at a typist's pace; the completer list pops up meanwhile.
        xdotool type --delay 80 japanese.txt || e2e_fail "xdotool type"
        e2e_key 36
    else
        e2e_key Escape
    fi
    # Orca names the window, or goes straight to its focused input box: which one depends on
    # whether the window's activation or the box's focus reaches it first.
    orca_wait_said "^($TEXT_WINDOW|入力 text)" >/dev/null
    wait_focus_back
    e2e_log "dialog closing $n: Orca has the window again"
done

# The starting Enter: Orca says the first line (the text was chosen at the first closing);
# a wrong line: the verdict with the counts shown.
e2e_key 36
orca_wait_said 'notification 今日はいい天気ですね。' >/dev/null
e2e_key 53 36 # x, Enter
orca_wait_said 'notification まちがい ○ 0 × 1' >/dev/null
e2e_key BackSpace

# The version box (Alt+V), closed with Enter: Orca names the window or its focused input box.
e2e_key alt+55
orca_wait_said 'バージョン情報' >/dev/null
e2e_key 36
orca_wait_said "^($TEXT_WINDOW|入力 text)" >/dev/null
wait_focus_back
# Orca still hears the keys typed into the window.
e2e_key 38 # a
orca_wait_said '^a ?$' >/dev/null

# File > Exit as one quick chord and a key, five times: each time the window closes and Orca
# is back at the entrance. (Qt hands the Alt on late, after the F has opened the menu.)
for ((n = 1; n <= 5; n++)); do
    xdotool key alt+f x || e2e_fail "xdotool key alt+f x"
    # Orca names the entrance, or goes straight to its focused entry (the second).
    orca_wait_said '^(とことこいりぐち|どの指使うの)' >/dev/null
    (($(e2e_count_windows "$TEXT_WINDOW") == 0)) || e2e_fail "the text window is still open"
    e2e_log "Alt+F, X $n: back at the entrance"
    if ((n < 5)); then
        e2e_key 14
        e2e_wait_window "$TEXT_WINDOW"
        orca_wait_said "^$TEXT_WINDOW" >/dev/null
    fi
done
# Each key waits in Qt for the screen reader's answer, 100 ms at most: how often it gave up.
e2e_log "keys Qt stopped waiting for: $(grep -c 'keyEventError' "$E2E_TMP/app.log")"
e2e_pass
