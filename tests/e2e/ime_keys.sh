#!/usr/bin/env bash
# Plain keys with a real Japanese input method running (mozc under fcitx5; under IBus through
# ime_keys_ibus.sh), switched on from outside the program as the learner's switch key would:
# the English line practice, opened through the real file dialog, takes the whole shipped
# English text as plain half-width characters (read back through the accessibility tree), with
# no wrong line; the entrance still opens the key guide with its digit key, and the key guide
# names letters and the input-method keys themselves (半角/全角, 無変換, カタカナ/ひらがな).
# labels: e2e ime
# timeout: 180
E2E_IME_USER=${E2E_IME_USER:-tokotoko-e2e-keys}
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/lib-ime.sh"

e2e_start_display
e2e_ime_start
e2e_start_app_ime
e2e_wait_clip '１\r\n押せばわかる'

# The English line practice: the shipped English text, typed as plain keys; the input box
# holds exactly the typed characters, never kana or full-width letters.
TEXT=$(dirname "$E2E_APP")/texts/english.txt
[[ -f $TEXT ]] || e2e_fail "no shipped text at $TEXT"
mapfile -t LINES < <(tr -d '\r' <"$TEXT")
LAST=$((${#LINES[@]} - 1))
e2e_key 16 # the digit 7
e2e_wait_window 'ENGLISH Three Minute'
e2e_open_file "$TEXT"
e2e_wait_window 'ENGLISH Three Minute'
e2e_ime_switch_on # which changes nothing here
e2e_key 36 # the starting Enter
e2e_a11y_wait 'Line to type' "${LINES[0]}"
for ((n = 0; n <= LAST; n++)); do
    xdotool type --delay 30 "${LINES[n]}" || e2e_fail "xdotool type"
    e2e_a11y_wait 'Your typing' "${LINES[n]}"
    e2e_key 36
    if ((n < LAST)); then
        e2e_a11y_wait 'Line to type' "${LINES[n + 1]}"
    fi
done
e2e_a11y_wait 'Line to type' 'GAME OVER. RESET'
e2e_a11y_wait 'Wrong lines' '× 0'
e2e_a11y_wait 'Lines typed right' "○ $((LAST + 1))"
e2e_poll 5 bash -c '[[ $(timeout 5 xclip -selection clipboard -o 2>/dev/null) =~ ^[0-5][0-9]分[0-5][0-9]秒$ ]]' ||
    e2e_fail "no time on the clipboard: '$(e2e_clip)'"

# Back at the entrance through the file menu's Exit (Alt+F, X).
e2e_key alt+41
e2e_poll 5 bash -c '(($(xdotool search --all --onlyvisible --pid "$1" --name "" 2>/dev/null | wc -l) > 2))' _ "$APP_PID" ||
    e2e_fail "no file menu"
e2e_key 53
e2e_wait_window 'とことこいりぐち'

# The key guide, Japanese input switched on again: every key is the window's.
e2e_key 10 # the digit 1: the key guide
e2e_wait_window '押せばわかる'
e2e_key 38
e2e_wait_clip 'Ａ'
e2e_ime_switch_on
e2e_key 45 # k: no preedit, no kana
e2e_wait_clip 'Ｋ'
e2e_key 49 # 半角/全角: the input method's own switch key, still the window's
e2e_wait_clip '半角/全角'
e2e_key 102
e2e_wait_clip '無変換'
e2e_key 38
e2e_wait_clip 'Ａ'
e2e_key 101 # カタカナ/ひらがな
e2e_wait_clip 'カタカナ'
e2e_key 58 # m
e2e_wait_clip 'Ｍ'
e2e_key alt+F4
e2e_wait_window 'とことこいりぐち'
# The entrance, whatever the input method's state, still takes Escape.
e2e_key Escape
e2e_wait_exit 3 0
e2e_pass
