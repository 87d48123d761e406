#!/usr/bin/env bash
# The guide drill's cue, recorded from a real sound server: one wrong key sounds one whole
# cue, not cut short at its end; ten wrong keys in quick succession sound ten cues, each one
# heard from its start (ten onsets, no silent cue); a right key afterwards still advances the
# drill.
# labels: e2e audio
# timeout: 120
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/lib-audio.sh"

e2e_start_display
e2e_audio_start
e2e_start_app
e2e_wait_clip '１\r\n押せばわかる'

e2e_key 11 # the digit 2: the guide drill, asking for F
e2e_wait_window 'どのゆびつかうの'
e2e_wait_clip 'ひだりひとさしゆびえふ'

mark=$(e2e_audio_mark)
e2e_key 44 # j: wrong, the asked key goes to the clipboard
e2e_wait_clip 'F'
one=$(e2e_audio_wait_quiet "$mark" 0.5 10) || exit 1
e2e_log "one wrong key: $one"
(($(e2e_json "$one" 'len(onsets)') == 1)) || e2e_fail "one wrong key gave $(e2e_json "$one" 'len(onsets)') onsets"
# The whole ding is heard, its last tenth of a second included (0.7 s; it fades out to
# silence, so about 0.69 s of it is above the threshold).
(($(e2e_json "$one" 'int(loud >= 0.64)') == 1)) || e2e_fail "the cue was cut short: $one"

mark=$(e2e_audio_mark)
xdotool key --delay 150 44 44 44 44 44 44 44 44 44 44 || e2e_fail "xdotool key"
ten=$(e2e_audio_wait_quiet "$mark" 0.5 15) || exit 1
e2e_log "ten wrong keys: $ten"
count=$(e2e_json "$ten" 'len(onsets)')
((count == 10)) || e2e_fail "ten wrong keys gave $count onsets"

e2e_key 41 # f: right, "R" comes next
e2e_wait_clip 'ひだりひとさしゆびＲ'
e2e_key Escape
e2e_wait_window 'とことこいりぐち'
e2e_key Escape
e2e_wait_exit 3 0
e2e_pass
