#!/usr/bin/env bash
# The Japanese timed challenge typed through a real input method (fcitx5 with mozc): mozc is
# on when the input box has the focus; the shipped text is opened through the real file
# dialog; each drawn line (read from the real clipboard) is typed as romaji, converted with
# Space and confirmed with Enter, then judged by a further Enter. The Enters that confirm a
# conversion never judge: the input box holds the whole line before the judging Enter and no
# wrong line is counted. A line committed unconverted counts one wrong line. When the minute
# is over the clipboard holds the score: three right lines minus one wrong, 得点 2.
# labels: e2e ime
# timeout: 240
E2E_IME_USER=tokotoko-e2e-timed
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/lib-ime.sh"
source "$(dirname "$0")/lib-romaji.sh"

TEXT=$(dirname "$E2E_APP")/texts/japanese.txt
[[ -f $TEXT ]] || e2e_fail "no shipped text at $TEXT"

# Waits until the program shows one more window than `count` (a menu or a dialog).
wait_more_windows() {
    e2e_poll 5 bash -c '(($(xdotool search --all --onlyvisible --pid "$1" --name "" 2>/dev/null | wc -l) > $2))' \
        _ "$APP_PID" "$1" || e2e_fail "no menu or dialog appeared"
}

windows() {
    xdotool search --all --onlyvisible --pid "$APP_PID" --name "" 2>/dev/null | wc -l
}

# Types the line shown now and judges it; the right-lines label then shows `right`.
type_line_right() {
    local line=$1 right=$2 steps
    steps=$(e2e_romaji_for "$line") || exit 1
    e2e_ime_type "$steps"
    # Every Enter so far confirmed a conversion: the whole line is in the box, nothing judged.
    e2e_a11y_wait 入力 "$line"
    e2e_a11y_wait まちがえた行 "$WRONG"
    e2e_key 36
    e2e_a11y_wait 正しく打った行 "○ $right"
}

# The line drawn now, from the clipboard; the display shows the same.
shown_line() {
    local line
    line=$(e2e_clip)
    [[ -n $line ]] || e2e_fail "no line on the clipboard"
    e2e_a11y_wait 打つ行 "$line" >/dev/null
    printf '%s' "$line"
}

e2e_start_display
e2e_ime_start
e2e_start_app_ime
e2e_wait_clip '１\r\n押せばわかる'

e2e_key 15 # the digit 6
e2e_wait_window '応用日本語入力　３分'
e2e_ime_wait_state 2 mozc

# The settings menu (Alt+S) on its first item, 1分間.
before=$(windows)
e2e_key alt+39
wait_more_windows "$before"
e2e_key 36
e2e_wait_window '応用日本語入力　１分'

# Ctrl+O: the file dialog; its file-name box takes the path as plain characters.
e2e_open_file "$TEXT"
e2e_wait_window '応用日本語入力　１分'
# Back in the input box: Japanese input is on again.
e2e_ime_wait_state 2 mozc

WRONG='× 0'
e2e_key 36 # the starting Enter draws the first line
e2e_poll 5 bash -c '[[ -n $(timeout 5 xclip -selection clipboard -o 2>/dev/null) ]]' ||
    e2e_fail "no line after the starting Enter"
line=$(shown_line) || exit 1
e2e_log "drawn: $line"
type_line_right "$line" 1
line=$(shown_line) || exit 1
e2e_log "drawn: $line"
type_line_right "$line" 2
line=$(shown_line) || exit 1
e2e_log "drawn: $line"

# The same romaji committed without conversion: one wrong line; the line stays shown.
steps=$(e2e_romaji_unconverted "$line") || exit 1
e2e_ime_type "$steps"
typed=$(e2e_a11y_change 入力 '') || exit 1
[[ $typed != "$line" ]] || e2e_fail "the unconverted line matched"
e2e_log "committed unconverted: $typed"
e2e_key 36
WRONG='× 1'
e2e_a11y_wait まちがえた行 "$WRONG"
[[ $(e2e_clip) == "$line" ]] || e2e_fail "a wrong line changed the clipboard"
e2e_a11y_wait 打つ行 "$line"

# Corrected in place: BackSpace over the kana, the line typed again.
for ((i = 0; i < ${#typed}; i++)); do e2e_key 22; done
e2e_a11y_wait 入力 ''
type_line_right "$line" 3

# Three right lines, one wrong line.
e2e_wait_clip '得点 2' 75
e2e_a11y_wait まちがえた行 '× 1'
e2e_key Escape
e2e_a11y_wait まちがえた行 '× 0'
e2e_pass
