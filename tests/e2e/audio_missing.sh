#!/usr/bin/env bash
# A cue file that is missing, or is no WAV at all: a copy of the program in a folder without
# its WAVs (then with a ding.wav that is text) plays the short default cue for each wrong key
# in the guide drill, recorded from a real sound server, never the ding, never a dialog, and
# the drill goes on.
# labels: e2e audio
# timeout: 120
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/lib-audio.sh"

BUILT_APP=$E2E_APP
# The program also looks for its cues in the installed data folder compiled into it.
for folder in $(grep -aoE '/[[:alnum:]/._-]*/share/tokotoko' "$BUILT_APP" | sort -u); do
    if [[ -e $folder/ding.wav ]]; then
        e2e_skip "$folder/ding.wav is installed; the program would find its cues there"
    fi
done

# Titles of the program's visible windows, one a line, sorted.
window_titles() {
    local id
    for id in $(xdotool search --all --onlyvisible --pid "$APP_PID" --name '' 2>/dev/null); do
        xdotool getwindowname "$id" 2>/dev/null
    done | sort
}

# Opens the guide drill in the program at $1, sends one wrong key and then four more, and
# checks what is heard and seen.
check_default_cue() {
    E2E_APP=$1
    e2e_start_app
    e2e_wait_clip '１\r\n押せばわかる'
    e2e_key 11
    e2e_wait_window 'どのゆびつかうの'
    e2e_wait_clip 'ひだりひとさしゆびえふ'
    local titles mark one five
    titles=$(window_titles)

    mark=$(e2e_audio_mark)
    e2e_key 44 # j: wrong
    e2e_wait_clip 'F'
    one=$(e2e_audio_wait_quiet "$mark" 1.0 10) || exit 1
    e2e_log "one wrong key: $one"
    (($(e2e_json "$one" 'len(onsets)') == 1)) || e2e_fail "no single cue: $one"
    # The default cue lasts 0.15 s, the ding 0.7 s.
    (($(e2e_json "$one" 'int(0.12 <= loud <= 0.4)') == 1)) || e2e_fail "not the default cue: $one"

    mark=$(e2e_audio_mark)
    xdotool key --delay 250 44 44 44 44 || e2e_fail "xdotool key"
    five=$(e2e_audio_wait_quiet "$mark" 1.0 10) || exit 1
    e2e_log "four wrong keys: $five"
    (($(e2e_json "$five" 'len(onsets)') == 4)) || e2e_fail "four wrong keys, not four cues: $five"

    [[ $(window_titles) == "$titles" ]] || e2e_fail "a window appeared: $(window_titles | tr '\n' '|')"
    e2e_key 41 # f: right, the drill goes on
    e2e_wait_clip 'ひだりひとさしゆびＲ'
    e2e_key Escape
    e2e_wait_window 'とことこいりぐち'
    e2e_key Escape
    e2e_wait_exit 3 0
}

e2e_start_display
e2e_audio_start

mkdir -p "$E2E_TMP/bare" "$E2E_TMP/broken"
# The program with its sound module, as it is built and installed.
for folder in bare broken; do
    cp "$BUILT_APP" "$(dirname "$BUILT_APP")/libtokotoko_media.so" "$E2E_TMP/$folder/"
done
cp "$(dirname "$BUILT_APP")"/{boo,zannen}.wav "$E2E_TMP/broken/" 2>/dev/null
echo 'not a sound' >"$E2E_TMP/broken/ding.wav"

e2e_log "without its WAVs"
check_default_cue "$E2E_TMP/bare/tokotoko"
e2e_log "with a ding.wav that is no WAV"
check_default_cue "$E2E_TMP/broken/tokotoko"
e2e_pass
