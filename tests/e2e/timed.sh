#!/usr/bin/env bash
# The Japanese timed challenge under a real X server with the JIS keymap, on the real clock:
# opened from the entrance by its digit, one minute chosen from the settings menu by keyboard,
# the shipped Japanese text opened through the real file dialog (Ctrl+O, its path typed into
# the file-name box, Enter), three drawn lines read from the real clipboard and typed, one
# wrong line, and the score on the clipboard when the minute is over. Then Escape, the
# window's exit item, and Escape at the entrance.
# labels: e2e
# timeout: 240
source "$(dirname "$0")/lib.sh" "$@"

TEXT=$(dirname "$E2E_APP")/texts/japanese.txt
[[ -f $TEXT ]] || e2e_fail "no shipped text at $TEXT"

# Waits until no window of the program carries this title any more.
wait_window_gone() {
    e2e_poll 10 bash -c '! xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" >/dev/null 2>&1' \
        _ "$APP_PID" "$1" || e2e_fail "window '$1' still open"
    e2e_log "window closed: $1"
}

# Waits until the clipboard holds a line that is neither empty nor `previous`, and prints it;
# prints `previous` when the same line was drawn again (the clipboard then stays as it was).
next_line() {
    local previous=$1
    e2e_poll 2 bash -c 'clip=$(timeout 5 xclip -selection clipboard -o 2>/dev/null); [[ -n $clip && $clip != "$1" ]]' _ "$previous"
    e2e_clip
}

# Types a line into the input box and makes sure it arrived whole before it is judged
# (every character has a key of its own: E2E_TYPED_TEXT). Ctrl+A, Ctrl+C copy the input
# box's own text (the Ctrl first copies the shown line, which is the same line).
type_line() {
    local line=$1
    xdotool type --delay 30 "$line" || e2e_fail "xdotool type line"
    e2e_key ctrl+38 ctrl+54
    e2e_poll 2 bash -c '[[ $(timeout 5 xclip -selection clipboard -o 2>/dev/null) == "$1" ]]' _ "$line" ||
        e2e_fail "typed '$line', the input box holds '$(e2e_clip)'"
}

E2E_TYPED_TEXT=$(iconv -f CP932 -t UTF-8 "$TEXT")
e2e_start_display
e2e_start_app
e2e_wait_clip '１\r\n押せばわかる'

e2e_key 15 # the digit 6
e2e_wait_window '応用日本語入力　３分'

# Alt+S opens the settings menu on its first item, "1分間"; Enter chooses it.
e2e_menu alt+39 36
e2e_wait_window '応用日本語入力　１分'

# Ctrl+O: the Ctrl first shows the current line again (none yet: an empty clipboard), then
# the dialog opens among the shipped texts.
e2e_open_file "$TEXT"
e2e_wait_window '応用日本語入力　１分'

# The starting Enter draws the first line and starts the clock.
e2e_key 36
line=$(next_line '')
[[ -n $line ]] || e2e_fail "no line on the clipboard after the starting Enter"
e2e_log "drawn: $line"
for right in 1 2 3; do
    # The input box is a Japanese one; without an input method running, xdotool's keys with
    # Japanese keysyms arrive as plain characters.
    type_line "$line"
    e2e_key 36
    line=$(next_line "$line")
    e2e_log "right $right, drawn: $line"
done
# One wrong line: the shown line stays, the clipboard too.
xdotool type --delay 30 'x' || e2e_fail "xdotool type x"
e2e_key 36
[[ $(e2e_clip) == "$line" ]] || e2e_fail "a wrong line changed the clipboard"

# Three right lines and one wrong: the score 2 when the minute is over.
e2e_wait_clip '得点 2' 75

# After the end, Ctrl shows the current line again.
e2e_key 37
e2e_wait_clip "$line"
e2e_key Escape
# Alt+F opens the file menu, X its exit item: back at the entrance, with entry 6 focused.
e2e_menu alt+41 53
wait_window_gone '応用日本語入力　１分'
e2e_wait_window 'とことこいりぐち'
e2e_key Escape
e2e_wait_exit 2 0
e2e_pass
