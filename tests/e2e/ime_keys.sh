#!/usr/bin/env bash
# Plain keys with a real Japanese input method running (fcitx5 with mozc): the key guide names
# letters and the input-method keys themselves (半角/全角, 無変換, カタカナ/ひらがな)
# even after mozc has been switched on for it, and the English line practice takes typed
# lines as plain half-width characters.
# labels: e2e ime
# timeout: 180
E2E_IME_USER=tokotoko-e2e-keys
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/lib-ime.sh"

e2e_start_display
e2e_ime_start
e2e_start_app_ime
e2e_wait_clip '１\r\n押せばわかる'

e2e_key 10 # the digit 1: the key guide
e2e_wait_window '押せばわかる'
e2e_key 38
e2e_wait_clip 'Ａ'
# Whatever the desktop does, the key guide's keys stay plain: switch mozc on under it.
e2e_ime_run fcitx5-remote -o
e2e_log "state after -o: $(e2e_ime_state) $(e2e_ime_current)"
e2e_key 45 # k: no preedit, no kana
e2e_wait_clip 'Ｋ'
e2e_key 49 # 半角/全角: fcitx5's own switch key, still the window's
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

e2e_key Escape
e2e_wait_exit 3 0
e2e_pass
