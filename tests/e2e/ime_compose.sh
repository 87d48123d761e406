#!/usr/bin/env bash
# Composing in the Japanese line practice through a real input method (mozc; fcitx5 here,
# IBus through ime_compose_ibus.sh), checked against what the input method itself showed on
# its bus: the box is in hiragana when the window opens (romaji shows kana); a conversion
# shows its candidates with the converted clause highlighted and commits the one chosen; a
# composition cancelled with Escape leaves the box as it was, and is still gone once the
# version box has taken the focus and given it back, where hiragana is on again. The
# Open-file dialog takes a path as typed, and hiragana is on again after it. Back at the
# entrance, with mozc's mode left as it is (under IBus the box gives the learner's own mode
# back), the digit keys open an exercise: the entrance takes no input method.
# labels: e2e ime
# timeout: 120
E2E_IME_USER=${E2E_IME_USER:-tokotoko-e2e-compose}
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/lib-ime.sh"

TEXT_WINDOW='応用日本語入力　１'

e2e_start_display
e2e_ime_start
e2e_ime_record_start
e2e_start_app_ime
e2e_wait_clip '１\r\n押せばわかる'

e2e_key 14 # the digit 5
e2e_wait_window "$TEXT_WINDOW"
e2e_ime_wait_japanese 10

# Hiragana at once: romaji shows kana, and Enter commits them as typed.
e2e_ime_type 'kami'
e2e_ime_record_wait $'^preedit\tかみ\t$' >/dev/null
e2e_ime_type 'ENTER'
e2e_ime_record_wait $'^commit\tかみ$' >/dev/null
e2e_a11y_wait 入力 'かみ'

# Converted: each Space shows another candidate, the whole of it the highlighted clause; Enter
# commits the one shown.
# Sets `candidate` to the one shown next.
next_candidate() {
    e2e_ime_record_wait $'^preedit\t[^\t]+\t[^\t]+$' >/dev/null
    candidate=$(cut -f2 <<<"$E2E_IME_RECORD_LINE")
    [[ $(cut -f3 <<<"$E2E_IME_RECORD_LINE") == "$candidate" ]] ||
        e2e_fail "one clause, but not all of it highlighted: $E2E_IME_RECORD_LINE"
}
e2e_ime_type 'kami SPACE'
next_candidate
first=$candidate
e2e_ime_type 'SPACE'
next_candidate
chosen=$candidate
[[ $first != "$chosen" ]] || e2e_fail "the second Space showed $first again"
e2e_ime_type 'ENTER'
e2e_ime_record_wait $'^commit\t'"$chosen"'$' >/dev/null
e2e_a11y_wait 入力 "かみ$chosen"

# Cancelled: Escape takes the composition away and commits nothing.
e2e_ime_type 'kami'
e2e_ime_record_wait $'^preedit\tかみ\t$' >/dev/null
e2e_ime_type 'ESC'
e2e_ime_record_wait $'^preedit\t\t$' >/dev/null

# The version box (Alt+V) takes the focus; Enter closes it and the box has it again.
e2e_key alt+55
e2e_wait_window 'バージョン情報'
e2e_key 36
e2e_poll 5 bash -c '! xdotool search --all --onlyvisible --pid "$1" --name "^バージョン情報\$" >/dev/null 2>&1' \
    _ "$APP_PID" || e2e_fail "the version box did not close"
e2e_wait_window "$TEXT_WINDOW"

# Hiragana again, and nothing but what is committed now joins the box: not the cancelled かみ.
e2e_ime_type 'a ENTER'
e2e_ime_record_wait $'^commit\tあ$' >/dev/null
e2e_a11y_wait 入力 "かみ${chosen}あ"

# The Open-file dialog (Ctrl+O) takes the path as typed: its box is not a Japanese one (under
# IBus, mozc is back in the learner's own mode once the box is left). Back in the box,
# hiragana again.
e2e_open_file "$(dirname "$E2E_APP")/texts/japanese.txt"
e2e_wait_window "$TEXT_WINDOW"
e2e_ime_type 'i ENTER'
e2e_ime_record_wait $'^commit\tい$' >/dev/null
e2e_a11y_wait 入力 "かみ${chosen}あい"

# Back at the entrance (File, Exit): the digit 6 opens the timed challenge.
e2e_menu alt+41 53
e2e_wait_window 'とことこいりぐち'
e2e_key 15
e2e_wait_window '応用日本語入力　３分'
e2e_pass
