#!/usr/bin/env bash
# Screenshot tests: a tour of every window and state of the real program, each screenshot
# checked from its pixels by screen_check.py (every text in its colour, inside its layout
# rectangle, whole, on its background). The screen_*.sh scripts run the tour at one screen
# size each; docs/screens/make-gallery.sh runs it to keep the pictures.
#
#   source lib-screen.sh "$tokotoko"
#   screen_tour WIDTH HEIGHT RATIO
#
# With SCREEN_KEEP set to a folder, each checked screenshot is also saved there under the
# name its check gives it. With SCREEN_KEEP_GOING set, a failing check is logged and the run
# goes on (screen_pass then fails it, naming every check that failed).
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh" "$@"

SCREEN_CHECK=$(dirname "${BASH_SOURCE[0]}")/screen_check.py
SCREEN_PYTHON=/usr/bin/python3 # Debian's, with python3-numpy and python3-pil
SCREEN_WIDTH=
SCREEN_RATIO=1
SCREEN_FAILURES=()

readonly KEY_RETURN=36 KEY_SPACE=65 KEY_DOWN=116 KEY_BACKSPACE=22

# Polls until `shot` of the window $WIN passes the checks, for up to $SCREEN_WAIT seconds (10
# unless set); fails with the last verdict otherwise (the failing screenshot is kept in
# $TOKOTOKO_SCREEN_FAILURES, default /tmp/tokotoko-screen-failures).
screen_expect() {
    local shot=$1 form=$2
    shift 2
    local file=$E2E_TMP/$shot.png verdict deadline=$((SECONDS + ${SCREEN_WAIT:-10}))
    while :; do
        if import -window "$WIN" "$file" 2>/dev/null &&
            verdict=$("$SCREEN_PYTHON" "$SCREEN_CHECK" "$file" "$form" --ratio "$SCREEN_RATIO" \
                --outer "$SCREEN_WIDTH" "$@" 2>&1); then
            break
        fi
        if ((SECONDS >= deadline)); then
            screen_failed "$shot" "$form" "$verdict"
            return
        fi
        sleep 0.5
    done
    screen_passed "$shot" "$verdict"
}

# Checks frames of the window $WIN as they come, over a blink of its text cursor (see
# screen_check.py --window): passes once a frame passes the checks and a blink period more shows
# no frame with two cursors. --steady first: every frame of that period must pass.
screen_frames() {
    local shot=$1 form=$2
    shift 2
    local verdict
    if verdict=$("$SCREEN_PYTHON" "$SCREEN_CHECK" "$E2E_TMP/$shot.png" "$form" --window "$WIN" \
        --wait "${SCREEN_WAIT:-10}" --ratio "$SCREEN_RATIO" --outer "$SCREEN_WIDTH" "$@" 2>&1); then
        screen_passed "$shot" "$verdict"
    else
        screen_failed "$shot" "$form" "$verdict"
    fi
}

screen_passed() {
    local shot=$1 verdict=$2
    printf '%s\n' "$verdict" | sed 's/^/    /' >&2
    e2e_log "screen ok: $shot"
    [[ -n ${SCREEN_KEEP:-} ]] && cp "$E2E_TMP/$shot.png" "$SCREEN_KEEP/$shot.png"
    return 0
}

screen_failed() {
    local shot=$1 form=$2 verdict=$3
    local keep=${TOKOTOKO_SCREEN_FAILURES:-/tmp/tokotoko-screen-failures}
    mkdir -p "$keep" && cp "$E2E_TMP/$shot.png" "$keep/$SCREEN_WIDTH-$shot.png"
    printf '%s\n' "$verdict" | sed 's/^/    /' >&2
    local message="screen '$shot' ($form): see $keep/$SCREEN_WIDTH-$shot.png"
    # SCREEN_KEEP_GOING set: every failing check of a run is seen, and the run fails at its end.
    if [[ -n ${SCREEN_KEEP_GOING:-} ]]; then
        e2e_log "FAILED, going on: $message"
        SCREEN_FAILURES+=("$shot")
        return 0
    fi
    e2e_fail "$message"
}

# The title's 13 characters turn by one every half second: any of its turns may be on screen.
screen_title_turns() {
    local title='とことこ Ver.３   ' turns='' i
    for ((i = 0; i < ${#title}; i++)); do
        turns+="|${title:i}${title:0:i}"
    done
    printf '%s' "${turns#|}"
}

# The numbers a count-down may show: "TIME from" down to "TIME 0".
screen_times() {
    local from=$1 n out=''
    for ((n = from; n >= 0; n--)); do out+="|TIME $n"; done
    printf '%s' "${out#|}"
}

screen_elapsed() {
    local s out=''
    for ((s = 0; s < 60; s++)); do out+=$(printf '|00分%02d秒' "$s"); done
    printf '%s' "${out#|}"
}

# Writes the practice texts of the tour: two lines for the line practices (the last one typed
# in ASCII ends the run), one line for the timed challenges (every line drawn is that line),
# and a line too long for one row of the display box.
SCREEN_LONG_LINE='朝の体操は①番から始めます～みんな来てね'

screen_write_texts() {
    printf 'いい天気ですね\r\nTokotoko 123\r\n' | iconv -f UTF-8 -t CP932 >"$E2E_TMP/japanese.txt"
    printf '%s\r\n' "$SCREEN_LONG_LINE" | iconv -f UTF-8 -t CP932 >"$E2E_TMP/long.txt"
    printf 'Hello, world.\r\nTokotoko 123\r\n' >"$E2E_TMP/english.txt"
    printf 'いい天気ですね\r\n' | iconv -f UTF-8 -t CP932 >"$E2E_TMP/japanese1.txt"
    printf 'Hello, world.\r\n' >"$E2E_TMP/english1.txt"
}

screen_entrance() {
    local entries=(
        'txtKeyGuide=１\n押せばわかる' 'txtYubiren=２\nどの指使うの' 'txtYubiren2=３\nｱﾙﾌｧﾍﾞｯﾄに挑戦'
        'txtYubiren3=４\n記号と数字も登場' 'txtJapanese_1=５\n応用日本語入力１'
        'txtJapanese=６\n応用日本語入力２' 'txtEnglish_1=７\n応用英語入力１' 'txtEnglish=８\n応用英語入力２'
    )
    screen_expect entrance frmEntrance --colors txtKeyGuide=white/black \
        "lblTitle|=$(screen_title_turns)" "${entries[@]}"
    e2e_key $KEY_DOWN $KEY_DOWN $KEY_DOWN $KEY_DOWN
    e2e_wait_clip '５\r\n応用日本語入力１'
    screen_expect entrance-right frmEntrance --colors txtJapanese_1=white/black \
        "lblTitle|=$(screen_title_turns)" "${entries[@]}"
}

screen_version_box() {
    local entrance=$WIN
    e2e_key alt+55 # Alt+V
    e2e_wait_window 'バージョン情報'
    local shot=$E2E_TMP/version.png verdict
    e2e_poll 10 bash -c 'import -window "$1" "$2" 2>/dev/null && "$3" "$4" --message "$2" >/dev/null' \
        _ "$WIN" "$shot" "$SCREEN_PYTHON" "$SCREEN_CHECK" ||
        e2e_fail "the version box: $("$SCREEN_PYTHON" "$SCREEN_CHECK" --message "$shot" 2>&1)"
    verdict=$("$SCREEN_PYTHON" "$SCREEN_CHECK" --message "$shot")
    e2e_log "screen ok: version box: $verdict"
    [[ -n ${SCREEN_KEEP:-} ]] && cp "$shot" "$SCREEN_KEEP/version.png"
    e2e_key $KEY_RETURN
    e2e_poll 5 bash -c '(($(xdotool search --all --onlyvisible --pid "$1" --name "^バージョン情報\$" 2>/dev/null | wc -l) == 0))' \
        _ "$APP_PID" || e2e_fail "the version box did not close"
    WIN=$entrance
    e2e_focus
}

screen_key_guide() {
    e2e_key 10 # the digit 1
    e2e_wait_window '押せばわかる'
    local exit='Label2=Alt＋F4で終了'
    e2e_key 38 # A
    screen_expect keyguide frmKeyGuide 'lblKey=ａ' 'lblYomi=Ａ' "$exit"
    e2e_key $KEY_SPACE
    screen_expect keyguide-space frmKeyGuide 'lblKey=Space' 'lblYomi=スペース' "$exit"
    e2e_key 107 # PrintScreen
    screen_expect keyguide-print frmKeyGuide 'lblKey=Prentscreen' 'lblYomi=ﾌﾟﾘﾝﾄｽｸﾘｰﾝ' "$exit"
    e2e_key 101 # カタカナ/ひらがな
    screen_expect keyguide-kana frmKeyGuide 'lblKey=ｶﾀｶﾅ' 'lblYomi=カタカナ' "$exit"
    e2e_key shift+11 # Shift+2: the longest reading
    screen_expect keyguide-quote frmKeyGuide 'lblKey="' 'lblYomi=ﾀﾞﾌﾞﾙｸｵｰﾃｰｼｮﾝ' "$exit"
    e2e_key alt+70 # Alt+F4
    e2e_wait_window 'とことこいりぐち'
}

screen_finger_drill() {
    e2e_key 11 # the digit 2
    e2e_wait_window 'どのゆびつかうの'
    screen_expect fingers frmYubiren 'lblKey=F' 'lblYubiHyoji=ひだり　人さし指'
    e2e_key Escape
    e2e_wait_window 'とことこいりぐち'
}

# A text window's time choice from its settings menu: the item's place (0, 1, 2) and the title
# it gives the window.
screen_time_choice() {
    local place=$1 title=$2 downs=()
    for ((; place > 0; place--)); do downs+=("$KEY_DOWN"); done
    e2e_menu alt+39 "${downs[@]}" $KEY_RETURN
    e2e_wait_window "$title"
}

# Starts a timed challenge of one minute on its one-line text, with one wrong line typed.
screen_timed_start() {
    local form=$1 digit=$2 loaded=$3 one=$4 three=$5 five=$6 text=$7 line=$8
    local bar="--colors=shpScale=blue/white" keys='lblKey_Guide=Esc:RESET\nCtrl:REPEAT'
    e2e_key "$digit"
    e2e_wait_window "$loaded"
    screen_expect "$form-3min" "$form" "$bar" 'lblTime=TIME 180' 'lblMaru=○ 0' 'lblBatsu=× 0' \
        "$keys" 'shpScale=full' 'txtHyoji=' 'lblTokuten='
    screen_time_choice 2 "$five"
    screen_expect "$form-5min" "$form" --colors=shpScale=green/white 'lblTime=TIME 300' \
        'shpScale=full'
    screen_time_choice 0 "$one"
    screen_expect "$form-1min" "$form" --colors=shpScale=red/white 'lblTime=TIME 60' \
        'shpScale=full'
    e2e_open_file "$E2E_TMP/$text"
    e2e_wait_window "$one"
    e2e_key $KEY_RETURN # the starting Enter draws the only line
    xdotool type --delay 30 'abc'
    e2e_key $KEY_RETURN # a wrong line
    screen_expect "$form" "$form" --colors=shpScale=red/white "txtHyoji=$line" 'txtNyuryoku=abc' \
        'lblMaru=○ 0' 'lblBatsu=× 1' "lblTime|=$(screen_times 59)" 'shpScale=part' "$keys" \
        'lblKekka='
}

# The end of the one-minute game: no line right, one wrong line, and the results of that.
screen_timed_end() {
    local form=$1 title=$2 end=$3 score=$4 results=$5
    e2e_wait_window "$title"
    SCREEN_WAIT=70 screen_expect "$form-end" "$form" --colors=shpScale=red/white "txtHyoji=$end" \
        'txtNyuryoku=abc' 'lblMaru=○ 0' 'lblBatsu=× 1' 'lblTime=TIME 0' "lblTokuten=$score" \
        'shpScale=empty' "lblKekka=$results"
}

# Starts a key game with Space: one hit (the asked key, read from the clipboard) and one miss.
screen_game_start() {
    local form=$1 digit=$2 title=$3 seconds=$4 asked
    e2e_key "$digit"
    e2e_wait_window "$title"
    screen_expect "$form-ready" "$form" "lblTime=TIME $seconds" 'lblMaru=○ 0' 'lblBatsu=× 0' \
        'lblKey=' 'lblYubi=' 'lblTokuten=' 'cmdStart=START' 'shpScale=full'
    e2e_key $KEY_SPACE
    e2e_poll 5 bash -c '[[ $(timeout 5 xclip -selection clipboard -o 2>/dev/null) =~ ^[^[:space:]]$ ]]' ||
        e2e_fail "no key asked: '$(e2e_clip)'"
    asked=$(e2e_clip)
    xdotool type --delay 40 "${asked,,}" || e2e_fail "typing $asked"
    e2e_key $KEY_SPACE # a miss: the key asked now goes to the clipboard
    screen_expect "$form-counts" "$form" 'lblMaru=○ 1' 'lblBatsu=× 1'
    asked=$(e2e_clip)
    screen_expect "$form" "$form" "lblKey=$asked" 'lblYubi=?' "lblTime|=$(screen_times "$seconds")" \
        'lblMaru=○ 1' 'lblBatsu=× 1' 'lblTokuten=' 'shpScale=part'
}

screen_game_end() {
    local form=$1 title=$2
    e2e_wait_window "$title"
    SCREEN_WAIT=70 screen_expect "$form-end" "$form" 'lblKey=' 'lblYubi=Spaceでスタート' 'lblTime=TIME 0' \
        'lblMaru=○ 1' 'lblBatsu=× 1' 'lblTokuten=得点 0' 'cmdStart=RETRY' 'shpScale=empty'
    e2e_key Escape
}

# A line practice on its two-line text: the first line shown, a wrong line typed, then the
# last line typed, which ends the run.
screen_lines() {
    local form=$1 digit=$2 title=$3 text=$4 first=$5 end=$6
    local keys='lblKey_Guide=Esc:RESET\nCtrl:REPEAT'
    e2e_key "$digit"
    e2e_wait_window "$title"
    screen_expect "$form-load" "$form" 'lblTime=00分00秒' 'lblMaru=○ 0' 'lblBatsu=× 0' \
        'lblGyosu=' "$keys" 'txtHyoji='
    e2e_open_file "$E2E_TMP/$text"
    e2e_wait_window "$title"
    e2e_key $KEY_RETURN
    xdotool type --delay 30 'abc'
    e2e_key $KEY_RETURN
    screen_expect "$form" "$form" "txtHyoji=$first" 'txtNyuryoku=abc' 'lblMaru=○ 0' 'lblBatsu=× 1' \
        'lblGyosu=練習数2' "lblTime|=$(screen_elapsed)" "$keys" 'lblKekka='
    e2e_key $KEY_BACKSPACE $KEY_BACKSPACE $KEY_BACKSPACE
    xdotool type --delay 30 'Tokotoko 123'
    e2e_key $KEY_RETURN
    # The results depend on how long the run took: some text, whole and in its place.
    screen_expect "$form-end" "$form" "txtHyoji=$end" 'txtNyuryoku=Tokotoko 123' 'lblMaru=○ 1' \
        'lblBatsu=× 1' 'lblGyosu=練習数0' "lblTime|=$(screen_elapsed)" "$keys" 'lblKekka=?'
    e2e_menu alt+41 53 # File, Exit
    e2e_wait_window 'とことこいりぐち'
}

# Back to the entrance while other windows stay open.
screen_to_entrance() {
    WIN=$SCREEN_ENTRANCE
    e2e_focus
}

screen_tour() {
    local width=$1 height=$2 ratio=$3
    e2e_require import iconv "$SCREEN_PYTHON"
    "$SCREEN_PYTHON" -c 'import numpy, PIL' || e2e_fail "python3-numpy and python3-pil are needed"
    SCREEN_WIDTH=$width SCREEN_RATIO=$ratio
    E2E_OPENBOX_RC=$(readlink -f "$(dirname "${BASH_SOURCE[0]}")/openbox-rc.xml") e2e_start_display "$width" "$height"
    screen_write_texts
    ((ratio == 1)) || export QT_SCALE_FACTOR=$ratio
    e2e_start_app
    e2e_focus
    SCREEN_ENTRANCE=$WIN
    e2e_wait_clip '１\r\n押せばわかる'

    screen_entrance
    screen_version_box
    screen_key_guide
    screen_finger_drill

    # The clocks run side by side: both games, then both timed challenges, then their ends.
    # The games go first, the longer one first: their checks read the asked key from the
    # clipboard, which only the end of another game or challenge could change meanwhile.
    screen_game_start frmYubiren3 13 '数字と記号も登場' 60
    screen_to_entrance
    screen_game_start frmYubiren2 12 'アルファベットに挑戦' 30
    screen_to_entrance
    screen_timed_start frmJapanese 15 '応用日本語入力　３分' '応用日本語入力　１分' \
        '応用日本語入力　３分' '応用日本語入力　５分' japanese1.txt 'いい天気ですね'
    screen_to_entrance
    screen_timed_start frmEnglish 17 'ENGLISH Three Minute' 'ENGLISH One Minute' \
        'ENGLISH Three Minutes' 'ENGLISH Five Minutes' english1.txt 'Hello, world.'
    screen_game_end frmYubiren2 'アルファベットに挑戦'
    screen_game_end frmYubiren3 '数字と記号も登場'
    screen_timed_end frmJapanese '応用日本語入力　１分' 'おしまい  RESET!' '得点 -1' \
        '0字/分　正確さ 0%\n10分 0字'
    e2e_menu alt+41 53
    screen_timed_end frmEnglish 'ENGLISH One Minute' 'GAME OVER.  RESET!' 'SCORE -1' \
        '0 WPM\nAccuracy 0%'
    e2e_menu alt+41 53
    e2e_wait_window 'とことこいりぐち'

    screen_lines frmJapanese_1 14 '応用日本語入力　１' japanese.txt 'いい天気ですね' 'おしまい RESET'
    screen_typing
    screen_lines frmEnglish_1 16 'ENGLISH Three Minute' english.txt 'Hello, world.' 'GAME OVER. RESET'
    e2e_key Escape
    e2e_wait_exit 2 0
}

# Makes the window $WIN this size in device pixels, and waits until it has it.
screen_resize() {
    local width=$1 height=$2
    xdotool windowsize "$WIN" "$width" "$height" || e2e_fail "xdotool windowsize"
    e2e_poll 5 bash -c '[[ $(xdotool getwindowgeometry "$1") == *"Geometry: $2x$3"* ]]' \
        _ "$WIN" "$width" "$height" ||
        e2e_fail "the window is $(xdotool getwindowgeometry "$WIN" | sed -n 's/ *Geometry: //p'), not ${width}x$height"
}

# What the learner types, in the Japanese line practice: a shown line that wraps, then the
# cursor over a blink in each state of the input box: a short line, a line longer than the box
# (with its end), a selection, and the window made smaller.
screen_typing() {
    local form=frmJapanese_1 title='応用日本語入力　１' typed=abcdefghijklmnopqrstuvwxyzabcdefghijklmn
    e2e_key 14 # the digit 5
    e2e_wait_window "$title"
    e2e_open_file "$E2E_TMP/long.txt"
    e2e_wait_window "$title"
    e2e_key $KEY_RETURN
    screen_expect long-shown $form "txtHyoji>=$SCREEN_LONG_LINE"
    xdotool type --delay 20 abc
    screen_frames cursor-short $form 'txtNyuryoku@=abc'
    xdotool type --delay 20 "${typed:3}"
    screen_frames cursor-long $form "txtNyuryoku@=$typed"
    e2e_key shift+113 shift+113 shift+113 # Shift+Left
    screen_frames cursor-selection $form 'txtNyuryoku@'
    e2e_key shift+110 $KEY_BACKSPACE # Shift+Home
    xdotool type --delay 20 ace
    screen_expect typed $form 'txtNyuryoku=ace'
    local width=$((SCREEN_WIDTH * 7 / 10)) height
    height=$(xdotool getwindowgeometry "$WIN" | sed -n 's/ *Geometry: [0-9]*x//p')
    screen_resize "$width" $((height * 6 / 10))
    xdotool type s
    SCREEN_WIDTH=$width screen_expect resized $form 'txtNyuryoku=aces'
    SCREEN_WIDTH=$width screen_frames cursor-resized $form 'txtNyuryoku@=aces'
    e2e_menu alt+41 53 # File, Exit
    e2e_wait_window 'とことこいりぐち'
}

# The cursor during a composition of the real input method (fcitx5 with mozc, lib-ime.sh), in
# the Japanese line practice. After screen_tour, on its display.
screen_composition() {
    E2E_IME_USER=tokotoko-e2e-screen$SCREEN_WIDTH
    source "$(dirname "${BASH_SOURCE[0]}")/lib-ime.sh"
    e2e_ime_start
    e2e_start_app_ime
    e2e_key 14 # the digit 5
    e2e_wait_window '応用日本語入力　１'
    e2e_ime_wait_state 2 mozc
    e2e_ime_type kyouha
    screen_frames cursor-composing frmJapanese_1 'txtNyuryoku@=きょうは'
    kill "$APP_PID"
    wait "$APP_PID" 2>/dev/null
}

# The cursor where the desktop turns blinking off (KDE's setting, which Qt reads): never out.
screen_steady_cursor() {
    mkdir -p "$E2E_TMP/kde"
    printf '[KDE]\nCursorBlinkRate=0\n' >"$E2E_TMP/kde/kdeglobals"
    XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5 XDG_CONFIG_HOME=$E2E_TMP/kde e2e_start_app
    e2e_key 14 # the digit 5
    e2e_wait_window '応用日本語入力　１'
    xdotool type --delay 20 abc
    screen_frames cursor-steady frmJapanese_1 --steady 'txtNyuryoku@=abc'
    kill "$APP_PID"
    wait "$APP_PID" 2>/dev/null
}

# Ends a screenshot test: it passes unless a check failed on the way (SCREEN_KEEP_GOING).
screen_pass() {
    ((${#SCREEN_FAILURES[@]} == 0)) || e2e_fail "screens that failed: ${SCREEN_FAILURES[*]}"
    e2e_pass
}
