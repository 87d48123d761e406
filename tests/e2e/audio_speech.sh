#!/usr/bin/env bash
# Speech of the English line practice, recorded from a real sound server through a real
# speech-dispatcher with espeak-ng: the shipped English text is opened through the real file
# dialog and typed line by line; the starting Enter and every right line are followed by
# speech (the line now shown), and the end of the run by "GAME OVER. RESET". Two quick Ctrl
# presses speak the shown line twice, one utterance after the other: about twice the sound of
# the line spoken once, the whole first utterance, then a pause longer than any inside the
# line, then the second; never the first cut short by the second.
# labels: e2e audio
# timeout: 180
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/lib-audio.sh"

TEXT=$(dirname "$E2E_APP")/texts/english.txt
[[ -f $TEXT ]] || e2e_fail "no shipped text at $TEXT"
mapfile -t LINES < <(tr -d '\r' <"$TEXT")
LAST=$((${#LINES[@]} - 1))

# Waits for the speech that follows the mark to end; prints its summary.
speech_after() {
    local mark=$1 seconds=${2:-15} heard
    heard=$(e2e_audio_wait_quiet "$mark" 1.0 "$seconds") || exit 1
    (($(e2e_json "$heard" 'int(loud >= 0.5)') == 1)) || e2e_fail "no speech: $heard"
    printf '%s' "$heard"
}

e2e_start_display
e2e_audio_start
e2e_speech_start
e2e_start_app
e2e_wait_clip '１\r\n押せばわかる'

e2e_key 16 # the digit 7
e2e_wait_window 'ENGLISH Three Minute'
e2e_open_file "$TEXT"
e2e_wait_window 'ENGLISH Three Minute'

# The starting Enter shows and speaks the first line; the engine may still be starting.
mark=$(e2e_audio_mark)
e2e_key 36
once=$(speech_after "$mark" 30) || exit 1
e2e_log "first line: $once"

# Ctrl twice, quickly: the same line twice, one after the other.
mark=$(e2e_audio_mark)
xdotool key --delay 100 37 37 || e2e_fail "xdotool key"
twice=$(speech_after "$mark" 20) || exit 1
e2e_log "Ctrl, Ctrl: $twice"
once_loud=$(e2e_json "$once" loud)
ratio=$(e2e_json "$twice" "round(loud / $once_loud, 2)")
e2e_log "twice / once = $ratio"
[[ $(e2e_json "$twice" "int(1.7 <= $ratio <= 2.3)") == 1 ]] ||
    e2e_fail "two Ctrl presses gave $ratio times the speech of one line"
# One after the other: the longest pause is longer than any pause inside the line spoken
# once, and the whole first utterance comes before it.
longest_once=$(e2e_json "$once" 'max([p["length"] for p in pauses] or [0.0])')
[[ $(e2e_json "$twice" "int(pauses[0]['length'] > $longest_once + 0.05)") == 1 ]] ||
    e2e_fail "no pause between the two utterances (the line alone pauses up to ${longest_once}s)"
[[ $(e2e_json "$twice" "int(0.85 <= pauses[0]['loud_before'] / $once_loud <= 1.15)") == 1 ]] ||
    e2e_fail "the first utterance was cut short or overlaid"
e2e_log "pause between the two: $(e2e_json "$twice" "pauses[0]['length']")s"

for ((n = 0; n <= LAST; n++)); do
    xdotool type --delay 30 "${LINES[n]}" || e2e_fail "xdotool type"
    mark=$(e2e_audio_mark)
    e2e_key 36
    heard=$(speech_after "$mark") || exit 1
    if ((n < LAST)); then
        e2e_log "line $((n + 2)): $heard"
    else
        e2e_log "end of the run: $heard"
    fi
done
e2e_poll 5 bash -c '[[ $(timeout 5 xclip -selection clipboard -o 2>/dev/null) =~ ^[0-5][0-9]分[0-5][0-9]秒$ ]]' ||
    e2e_fail "the run did not end: no time on the clipboard"
e2e_speech_check_single
e2e_pass
