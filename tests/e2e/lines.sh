#!/usr/bin/env bash
# The two line practices under a real X server: each is opened from the entrance, loads a
# shipped text through the real Open-file dialog (Ctrl+O, the path typed into its file-name
# box, Enter) and is typed through line by line with real X key events. The Japanese window
# hands every shown line and the final time to the clipboard; the English one speaks its lines
# and writes only the final time there.
# timeout: 240
source "$(dirname "$0")/lib.sh" "$@"

TEXTS=$(dirname "$E2E_APP")/texts
RETURN=36
ESCAPE=9

# Waits until the clipboard holds a time of the form "nn分ss秒" and prints it.
lines_wait_time() {
    local clip
    e2e_poll 5 bash -c 'timeout 5 xclip -selection clipboard -o 2>/dev/null |
        grep -qxE "[0-5][0-9]分[0-5][0-9]秒"' || e2e_fail "no time on the clipboard: '$(e2e_clip)'"
    clip=$(e2e_clip)
    e2e_log "clipboard ok: $clip"
    printf '%s' "$clip"
}

# Whether the clipboard holds exactly this text (UTF-8, no printf format).
lines_clip_is() {
    [[ $(e2e_clip) == "$1" ]]
}

lines_clip_is_time() {
    e2e_clip | grep -qxE '[0-5][0-9]分[0-5][0-9]秒'
}

# Types a line into the Japanese window and presses Enter, then waits for `check` (a command)
# to see the next line or the time on the clipboard. Every character has a key of its own
# (E2E_TYPED_TEXT), so the keys are plain X key events.
lines_type_japanese() {
    local line=$1
    shift
    xdotool type --delay 60 "$line" || e2e_fail "typing '$line'"
    e2e_key "$RETURN"
    e2e_poll 3 "$@" || e2e_fail "'$line' was not judged right; the clipboard holds '$(e2e_clip)'"
    e2e_log "typed: $line"
}

# The lines of a shipped text as UTF-8, without their CR LF.
lines_of() {
    local file=$1 encoding=$2
    iconv -f "$encoding" -t UTF-8 "$file" | tr -d '\r'
}

# Ctrl+O, then the path into the dialog's file-name box, then Enter (retried if a key is lost).
lines_open_text() {
    local window=$WIN
    e2e_open_file "$1"
    WIN=$window
    e2e_focus
}

e2e_require iconv
E2E_TYPED_TEXT=$(lines_of "$TEXTS/japanese.txt" CP932)
e2e_start_display
e2e_start_app
e2e_wait_clip '１\r\n押せばわかる'

# --- Japanese: entry 5, every line and the time through the clipboard ---------------------
e2e_key 14 # the digit 5
e2e_wait_window '応用日本語入力　１'
lines_open_text "$TEXTS/japanese.txt"
mapfile -t japanese < <(lines_of "$TEXTS/japanese.txt" CP932)
((${#japanese[@]} == 8)) || e2e_fail "japanese.txt has ${#japanese[@]} lines"

e2e_key "$RETURN" # the starting Enter shows the first line
e2e_wait_clip "${japanese[0]//%/%%}"
for ((i = 0; i < ${#japanese[@]}; i++)); do
    if ((i + 1 < ${#japanese[@]})); then
        lines_type_japanese "${japanese[i]}" lines_clip_is "${japanese[i + 1]}"
    else
        lines_type_japanese "${japanese[i]}" lines_clip_is_time
    fi
done
japanese_time=$(lines_wait_time)

# The ended run: Enter finishes again, Esc starts over from the first line.
e2e_key "$ESCAPE" "$RETURN"
e2e_wait_clip "${japanese[0]//%/%%}"

# Back to the entrance through the file menu (Alt+F, X).
e2e_key alt+41 53
e2e_poll 5 bash -c '! xdotool search --all --onlyvisible --pid "$1" --name "^応用日本語入力　１\$" >/dev/null' \
    _ "$APP_PID" || e2e_fail "the Japanese window did not close"
e2e_wait_window 'とことこいりぐち'

# --- English: entry 7, the clipboard untouched until the final time -----------------------
e2e_key 16 # the digit 7
e2e_wait_window 'ENGLISH Three Minute'
lines_open_text "$TEXTS/english.txt"
mapfile -t english < <(lines_of "$TEXTS/english.txt" UTF-8)
((${#english[@]} == 7)) || e2e_fail "english.txt has ${#english[@]} lines"
e2e_key "$RETURN"
before=$(e2e_clip)
for line in "${english[@]}"; do
    # The shown line is spoken, never copied.
    [[ $(e2e_clip) == "$before" ]] || e2e_fail "the English window wrote '$(e2e_clip)' to the clipboard"
    xdotool type --delay 20 "$line" || e2e_fail "typing '$line'"
    e2e_key "$RETURN"
done
english_time=$(lines_wait_time)
e2e_log "times: Japanese $japanese_time, English $english_time"

e2e_key alt+41 53
e2e_poll 5 bash -c '! xdotool search --all --onlyvisible --pid "$1" --name "^ENGLISH Three Minute\$" >/dev/null' \
    _ "$APP_PID" || e2e_fail "the English window did not close"
e2e_wait_window 'とことこいりぐち'
e2e_key "$ESCAPE"
e2e_wait_exit 2 0
e2e_pass
