#!/usr/bin/env bash
# The key guide under a real X server with the JIS keymap: keys sent by X keycode are named
# and their readings reach the real clipboard; the key after an Alt tap is still named; Alt+F4
# returns to the entrance, with a window manager and without one; a double-click on the key
# name ends the program.
source "$(dirname "$0")/lib.sh" "$@"

# xdotool search matches windows meeting any one criterion unless told --all: these look for
# the program's visible window with exactly this title.
window_titled() {
    xdotool search --all --onlyvisible --pid "$APP_PID" --name "^$1\$" 2>/dev/null | head -n1
}

# Waits for the window titled $1 and gives it the keyboard; sets WIN.
wait_window() {
    local title=$1
    e2e_poll 10 bash -c '[[ -n $(xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null) ]]' \
        _ "$APP_PID" "$title" || e2e_fail "no window titled '$title'"
    WIN=$(window_titled "$title")
    e2e_focus
}

wait_window_gone() {
    e2e_poll 5 bash -c '[[ -z $(xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null) ]]' \
        _ "$APP_PID" "$1" || e2e_fail "$2"
}

e2e_start_display
e2e_start_app
wait_window 'とことこいりぐち'
ENTRANCE=$WIN

e2e_wait_clip '１\r\n押せばわかる'
e2e_key 10 # the main-row 1 opens entry 1
wait_window '押せばわかる'
# Opening copies nothing: the entrance's text is still there.
e2e_wait_clip '１\r\n押せばわかる'

e2e_key 38 # A
e2e_wait_clip 'Ａ'
e2e_key shift+13 # Shift+4
e2e_wait_clip 'ドル'
e2e_key 14 # 5: the reading is empty
e2e_wait_clip ''
e2e_key 48 # the ":" key
e2e_wait_clip 'コロン'
e2e_key 132 # the yen key
e2e_wait_clip '円マーク'
e2e_key 97 # the ろ key
e2e_wait_clip 'ﾊﾞｯｸｽﾗｯｼｭ'
e2e_key 49 # 半角/全角
e2e_wait_clip '半角/全角'
e2e_key 87 # keypad 1 with Num Lock off: End
e2e_wait_clip 'エンド'

# A tap of Alt, F10 or the Windows key: the next key is still named by the window. A menu
# bar that took the keyboard after the Alt tap would let letters through to the window but
# eat Escape.
e2e_key 64
e2e_wait_clip 'オルト'
e2e_key Escape
e2e_wait_clip 'エスケープ'
[[ -n $(window_titled '押せばわかる') ]] || e2e_fail "Escape closed the key guide"
e2e_key 64
e2e_wait_clip 'オルト'
e2e_key 38
e2e_wait_clip 'Ａ'
e2e_key 76 # F10
e2e_wait_clip 'ﾌｧﾝｸｼｮﾝ10'
e2e_key 39 # S
e2e_wait_clip 'Ｓ'
e2e_key 133 # the Windows key
e2e_wait_clip 'ｳｨﾝﾄﾞｰｽﾞｷｰ'
e2e_key 40 # D
e2e_wait_clip 'Ｄ'

# Alt+F4 with the window manager's binding.
e2e_key alt+F4
wait_window_gone '押せばわかる' "Alt+F4 did not close the key guide"
e2e_key 116 # Down at the entrance: entry 2
e2e_wait_clip '２\r\nどの指使うの'

# Without a window manager nothing binds Alt+F4: the key guide closes itself.
kill "${E2E_PIDS[1]}" 2>/dev/null
e2e_poll 5 bash -c '! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" || ! kill -0 "$1" 2>/dev/null' _ "${E2E_PIDS[1]}" ||
    e2e_fail "openbox did not stop"
xdotool windowfocus --sync "$ENTRANCE" 2>/dev/null || true
e2e_key 10
wait_window '押せばわかる'
e2e_key 38
e2e_wait_clip 'Ａ'
e2e_key alt+F4
wait_window_gone '押せばわかる' "Alt+F4 did not close the key guide without a window manager"
xdotool windowfocus --sync "$ENTRANCE" 2>/dev/null || true
e2e_key 116 # the entrance has the keyboard again: entry 3
e2e_wait_clip '３\r\nｱﾙﾌｧﾍﾞｯﾄに挑戦'

# A double-click on the key name ends the whole program.
e2e_key 10
wait_window '押せばわかる'
e2e_key 38
e2e_wait_clip 'Ａ'
eval "$(xdotool getwindowgeometry --shell "$WIN")"
# The key name sits from half a row unit below the menu bar: a quarter of the height is on it.
xdotool mousemove --window "$WIN" $((WIDTH / 2)) $((HEIGHT / 4)) click --repeat 2 --delay 80 1
e2e_wait_exit 3 0
e2e_pass
