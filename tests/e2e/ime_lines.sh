#!/usr/bin/env bash
# The Japanese line practice typed through a real input method (fcitx5 with mozc): mozc is on
# in hiragana when the input box has the focus, at opening and again after the real file
# dialog has opened the shipped text. Every line of the text is typed as romaji, converted
# with Space and confirmed with Enter, then judged by a further Enter; the next line is read
# from the real clipboard. The Enters that confirm a conversion never judge: before each
# judging Enter the input box holds the whole line and no wrong line has been counted. The
# second line, committed unconverted once, counts exactly one wrong line, keeps the line
# shown, and is then corrected in place. The last line ends the run: "おしまい RESET", the
# time on the clipboard, eight right lines and one wrong.
# labels: e2e ime
# timeout: 180
E2E_IME_USER=tokotoko-e2e-lines
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/lib-ime.sh"
source "$(dirname "$0")/lib-romaji.sh"

TEXT=$(dirname "$E2E_APP")/texts/japanese.txt
[[ -f $TEXT ]] || e2e_fail "no shipped text at $TEXT"
mapfile -t LINES < <(iconv -f CP932 -t UTF-8 "$TEXT" | tr -d '\r')
((${#LINES[@]} >= 3)) || e2e_fail "the shipped text has fewer than three lines"
LAST=$((${#LINES[@]} - 1))

# Types a line through mozc; checks that only the judging Enter is left to press.
type_line() {
    local line=$1 wrong=$2 steps
    steps=$(e2e_romaji_for "$line") || exit 1
    e2e_ime_type "$steps"
    e2e_a11y_wait 入力 "$line"
    e2e_a11y_wait まちがえた回数 "$wrong"
}

e2e_start_display
e2e_ime_start
e2e_start_app_ime
e2e_wait_clip '１\r\n押せばわかる'

e2e_key 14 # the digit 5
e2e_wait_window '応用日本語入力　１'
e2e_ime_wait_state 2 mozc

# Ctrl+O: the real file dialog; the path typed into its file-name box, Enter.
e2e_open_file "$TEXT"
e2e_wait_window '応用日本語入力　１'
e2e_ime_wait_state 2 mozc

# The starting Enter shows the first line and copies it.
e2e_key 36
e2e_wait_clip "${LINES[0]}"
e2e_a11y_wait 正しく打てた行の数 '○ 0'
e2e_a11y_wait 残りの行の数 "練習数$((LAST + 1))"

type_line "${LINES[0]}" '× 0'
e2e_key 36
e2e_wait_clip "${LINES[1]}"
e2e_a11y_wait 正しく打てた行の数 '○ 1'

# A wrong conversion: the second line committed as kana.
steps=$(e2e_romaji_unconverted "${LINES[1]}") || exit 1
e2e_ime_type "$steps"
typed=$(e2e_a11y_change 入力 '') || exit 1
e2e_log "committed unconverted: $typed"
[[ $typed != "${LINES[1]}" ]] || e2e_fail "the unconverted line matched"
e2e_key 36
e2e_a11y_wait まちがえた回数 '× 1'
e2e_a11y_wait お手本の行 "${LINES[1]}"
e2e_a11y_wait 入力 "$typed"
[[ $(e2e_clip) == "${LINES[1]}" ]] || e2e_fail "a wrong line changed the clipboard"
# Corrected in place.
for ((i = 0; i < ${#typed}; i++)); do e2e_key 22; done
e2e_a11y_wait 入力 ''

for ((n = 1; n < LAST; n++)); do
    type_line "${LINES[n]}" '× 1'
    e2e_key 36
    e2e_wait_clip "${LINES[n + 1]}"
    e2e_a11y_wait 正しく打てた行の数 "○ $((n + 1))"
    e2e_a11y_wait 残りの行の数 "練習数$((LAST - n))"
done

# The last line ends the run: the end text, then the time, go to the clipboard.
type_line "${LINES[LAST]}" '× 1'
e2e_key 36
e2e_a11y_wait お手本の行 'おしまい RESET'
e2e_poll 5 bash -c '[[ $(timeout 5 xclip -selection clipboard -o 2>/dev/null) =~ ^[0-5][0-9]分[0-5][0-9]秒$ ]]' ||
    e2e_fail "no time on the clipboard: '$(e2e_clip)'"
e2e_log "time: $(e2e_clip)"
e2e_a11y_wait 正しく打てた行の数 "○ $((LAST + 1))"
e2e_a11y_wait まちがえた回数 '× 1'
e2e_a11y_wait 残りの行の数 '練習数0'
e2e_pass
