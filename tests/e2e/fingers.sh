#!/usr/bin/env bash
# The finger drills under a real X server with the JIS keymap. The guide drill, opened from
# the entrance by its digit: a right key and a wrong one, with the clipboard after each. Then
# a whole alphabet game on the real clock: started by Space on the focused button, three hits
# and a miss typed as real keys, the score on the clipboard when the time is up, Space
# starting the next game from the window, Escape closing it.
# labels: e2e
# timeout: 180
source "$(dirname "$0")/lib.sh" "$@"

# Waits until no window of the program carries this title any more.
wait_window_gone() {
    e2e_poll 5 bash -c '! xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" >/dev/null 2>&1' \
        _ "$APP_PID" "$1" || e2e_fail "window '$1' still open"
    e2e_log "window closed: $1"
}

# Waits until the clipboard holds one capital letter, and prints it.
wait_letter() {
    e2e_poll 5 bash -c '[[ $(timeout 5 xclip -selection clipboard -o 2>/dev/null) =~ ^[A-Z]$ ]]' ||
        e2e_fail "no letter on the clipboard: '$(e2e_clip)'"
    e2e_clip
}

e2e_start_display
e2e_start_app
e2e_wait_clip '１\r\n押せばわかる'

# The guide drill: the digit 2 opens it on "F".
e2e_key 11
e2e_wait_window 'どのゆびつかうの'
e2e_wait_clip 'ひだりひとさしゆびえふ'
e2e_key 41 # f: right, "R" comes next
e2e_wait_clip 'ひだりひとさしゆびＲ'
e2e_key 44 # j: wrong, the asked key goes to the clipboard
e2e_wait_clip 'R'
e2e_key 27 # r: right again
e2e_wait_clip 'ひだりひとさしゆびぶい'
e2e_key Escape
wait_window_gone 'どのゆびつかうの'

# The alphabet game: the digit 3 opens it, ready, with the START button focused.
e2e_key 12
e2e_wait_window 'アルファベットに挑戦'
e2e_key 65 # Space on the button starts the game
asked=$(wait_letter)
e2e_log "asked: $asked"
for hit in 1 2 3; do
    xdotool key --delay 40 "${asked,,}" || e2e_fail "xdotool key ${asked,,}"
    # The next letter may be the same one; then the clipboard is written again unchanged.
    e2e_poll 2 bash -c '[[ $(timeout 5 xclip -selection clipboard -o 2>/dev/null) != "$1" ]]' _ "$asked"
    asked=$(wait_letter)
    e2e_log "hit $hit, asked: $asked"
done
e2e_key 10 # the digit 1: a miss, the asked letter is copied again
e2e_wait_clip "$asked"
# Three hits and one miss when the 30 seconds are up.
e2e_wait_clip '得点 2' 40

# The button is enabled again but has not got the focus: Space at the window starts anew.
e2e_key 65
next=$(wait_letter)
e2e_log "new game, asked: $next"
e2e_key Escape
wait_window_gone 'アルファベットに挑戦'

e2e_key Escape
e2e_wait_exit 2 0
e2e_pass
