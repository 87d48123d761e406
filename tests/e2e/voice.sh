#!/usr/bin/env bash
# `bash scripts/setup.sh voice`, run as a learner runs it with a private configuration folder,
# makes Open JTalk speech-dispatcher's Japanese voice: that user's speech-dispatcher, started
# afterwards, gives a Japanese line to open_jtalk (a wrapper first in PATH records the text
# and the WAV it wrote) and the line is heard from a null sink, while an English line is still
# spoken by espeak-ng. Both runs install nothing, the second writes nothing; a learner's own
# speechd.conf keeps its settings, and voice-off gives it back byte for byte. No display.
# labels: voice
# timeout: 120
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/lib-audio.sh"

readonly LINE=いい天気ですね
readonly CONFIG=$E2E_TMP/audio-home/.config/speech-dispatcher
readonly SETUP=${TOKOTOKO_SOURCE_DIR:-$E2E_AUDIO_DIR/../..}/scripts/setup.sh

e2e_require spd-say open_jtalk sox soxi
for package in open-jtalk open-jtalk-mecab-naist-jdic hts-voice-nitech-jp-atr503-m001; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        e2e_skip "$package is not installed (the voice is in Debian's contrib component:" \
            "bash scripts/setup.sh contrib, then bash scripts/setup.sh test)"
done

# Everything is installed, so setup.sh has no reason to call the package tools: here they
# only record the call and fail.
readonly BIN=$E2E_TMP/bin
mkdir -p "$BIN"
for tool in apt-get sudo; do
    printf '#!/bin/sh\necho "$0 $*" >>%q\nexit 1\n' "$E2E_TMP/package-calls" >"$BIN/$tool"
done
cat >"$BIN/open_jtalk" <<EOF
#!/usr/bin/env bash
text=\$(cat)
printf '%s\n' "\$text" >>$E2E_TMP/jtalk-texts
printf '%s' "\$text" | $(command -v open_jtalk) "\$@" | tee $E2E_TMP/jtalk.wav
EOF
chmod +x "$BIN"/*
export PATH=$BIN:$PATH

# Each file of the folder with its size and modification time (to the nanosecond).
files_in() {
    [[ -d $1 ]] && find "$1" -type f -printf '%P %s %T@\n' | sort
}

# Waits for the speech that follows the mark; prints its summary.
speech_after() {
    local heard
    heard=$(e2e_audio_wait_quiet "$1" 0.5 20) || exit 1
    (($(e2e_json "$heard" 'int(loud >= 0.3)') == 1)) || e2e_fail "no speech: $heard"
    printf '%s' "$heard"
}

out=$(e2e_speech_japanese_voice 2>&1) || e2e_fail "setup.sh voice failed: $out"
e2e_log "setup.sh voice: $out"
written=$(files_in "$CONFIG")
[[ -n $written ]] || e2e_fail "setup.sh voice wrote nothing in $CONFIG"
out=$(e2e_speech_japanese_voice 2>&1) || e2e_fail "setup.sh voice failed the second time: $out"
[[ $(files_in "$CONFIG") == "$written" ]] || e2e_fail "the second run wrote again: $out"
[[ ! -e $E2E_TMP/package-calls ]] ||
    e2e_fail "setup.sh voice called: $(cat "$E2E_TMP/package-calls")"

e2e_audio_start
e2e_speech_start
modules=$(timeout 10 spd-say -O) || e2e_fail "spd-say -O"
grep -qx openjtalk-generic <<<"$modules" && grep -qx espeak-ng <<<"$modules" ||
    e2e_fail "speech-dispatcher's modules: $modules"

mark=$(e2e_audio_mark)
timeout 20 spd-say -w -l ja "$LINE" || e2e_fail "spd-say -l ja"
heard=$(speech_after "$mark") || exit 1
e2e_log "Japanese: $heard"
[[ -s $E2E_TMP/jtalk-texts ]] || { e2e_audio_speech_log; e2e_fail "open_jtalk never ran"; }
[[ $(cat "$E2E_TMP/jtalk-texts") == "$LINE" ]] ||
    e2e_fail "open_jtalk was given: $(cat "$E2E_TMP/jtalk-texts")"
# What was heard is what open_jtalk wrote: as much loud time as its WAV has.
sox "$E2E_TMP/jtalk.wav" -t raw -e signed -b 16 -c 1 -r "$E2E_AUDIO_RATE" "$E2E_TMP/jtalk.raw" ||
    e2e_fail "open_jtalk wrote no WAV"
made=$(python3 "$E2E_AUDIO_DIR/sound_events.py" "$E2E_TMP/jtalk.raw" summary \
    --rate "$E2E_AUDIO_RATE")
ratio=$(e2e_json "$heard" "round(loud / $(e2e_json "$made" loud), 2)")
e2e_log "open_jtalk's WAV: $(soxi -D "$E2E_TMP/jtalk.wav") s; heard / written loud time = $ratio"
(($(e2e_json "$heard" "int(0.8 <= $ratio <= 1.25)") == 1)) ||
    e2e_fail "heard $ratio times the speech open_jtalk wrote"

mark=$(e2e_audio_mark)
timeout 20 spd-say -w -l en "Good morning" || e2e_fail "spd-say -l en"
heard=$(speech_after "$mark") || exit 1
e2e_log "English: $heard"
(($(wc -l <"$E2E_TMP/jtalk-texts") == 1)) || e2e_fail "English went to open_jtalk too"

out=$(e2e_speech_japanese_voice voice-off 2>&1) || e2e_fail "voice-off failed: $out"
[[ -z $(files_in "$CONFIG") ]] || e2e_fail "voice-off left: $(files_in "$CONFIG")"

# A learner's own speechd.conf (a copy of the system's with a faster voice): kept as it was,
# Open JTalk after it; voice-off gives back the same bytes.
own=$E2E_TMP/own-config
readonly OWN_CONF=$own/speech-dispatcher/speechd.conf ORIGINAL=$E2E_TMP/own-speechd.conf
setup_own() {
    SUDO_USER='' XDG_CONFIG_HOME=$own bash "$SETUP" "$1" >/dev/null ||
        e2e_fail "setup.sh $1 on the learner's settings"
}
mkdir -p "$own/speech-dispatcher"
{ cat /etc/speech-dispatcher/speechd.conf && echo "DefaultRate 30"; } >"$ORIGINAL"
cp "$ORIGINAL" "$OWN_CONF"
setup_own voice
cmp -s -n "$(stat -c %s "$ORIGINAL")" "$ORIGINAL" "$OWN_CONF" ||
    e2e_fail "the learner's settings changed"
tail -n +"$(($(wc -l <"$ORIGINAL") + 1))" "$OWN_CONF" |
    grep -qx 'LanguageDefaultModule "ja" "openjtalk-generic"' ||
    e2e_fail "no Open JTalk after the learner's settings"
setup_own voice-off
cmp -s "$ORIGINAL" "$OWN_CONF" || e2e_fail "voice-off did not give the learner's settings back"
[[ $(files_in "$own" | cut -d ' ' -f 1) == speech-dispatcher/speechd.conf ]] ||
    e2e_fail "voice-off left: $(files_in "$own")"
e2e_pass
