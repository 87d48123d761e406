#!/usr/bin/env bash
# Real audio for the end-to-end tests: a private PulseAudio server whose only sink is a null
# sink, recorded from its monitor while the program runs, and a private speech-dispatcher
# that speaks into the same server. Everything lives in the test's own runtime folder, so
# nothing reaches (or comes from) a sound server or speech daemon of the desktop. Source after
# lib.sh; the program started afterwards inherits the environment.
#
#   e2e_audio_start            # server, null sink, recorder; exports where they are
#   e2e_speech_start           # speech-dispatcher with espeak-ng on that server
#   e2e_speech_japanese_voice  # before it: Open JTalk for Japanese (setup.sh voice)
#   mark=$(e2e_audio_mark)     # the recording's position now
#   e2e_audio_summary "$mark"  # JSON from sound_events.py: onsets, segments, loud seconds
#   e2e_audio_wait_quiet "$mark" [quiet] [timeout]  # sound, then `quiet` seconds of silence
#   e2e_json "$summary" 'len(onsets)'               # a Python expression over the summary

E2E_AUDIO_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_AUDIO_RATE=22050

e2e_audio_start() {
    e2e_require pulseaudio pactl parec python3
    export XDG_RUNTIME_DIR=$E2E_TMP/audio-runtime
    install -d -m 700 "$XDG_RUNTIME_DIR" "$E2E_TMP/audio-home"
    export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
    # No default script: only the socket and the null sink, so no device is probed, nothing
    # suspends an idle sink and no D-Bus session is looked for.
    (
        export HOME=$E2E_TMP/audio-home
        unset DISPLAY DBUS_SESSION_BUS_ADDRESS
        exec pulseaudio -n --daemonize=no --exit-idle-time=-1 --system=false --use-pid-file=no \
            --log-target=stderr -L "module-native-protocol-unix auth-anonymous=1" \
            -L "module-null-sink sink_name=t rate=$E2E_AUDIO_RATE channels=1"
    ) >"$E2E_TMP/pulseaudio.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_poll 15 pactl info >/dev/null 2>&1 || { cat "$E2E_TMP/pulseaudio.log" >&2; e2e_fail "pulseaudio did not start"; }
    pactl set-default-sink t || e2e_fail "no null sink"
    # The default latency loses short sounds.
    parec --device=t.monitor --latency-msec=20 --format=s16le --rate=$E2E_AUDIO_RATE --channels=1 \
        --raw >"$E2E_TMP/audio.raw" 2>"$E2E_TMP/parec.log" &
    E2E_PIDS+=($!)
    e2e_poll 10 test -s "$E2E_TMP/audio.raw" ||
        e2e_fail "nothing recorded: $(cat "$E2E_TMP/parec.log")"
    e2e_log "audio server up, recording $E2E_TMP/audio.raw"
}

# speech-dispatcher, started here rather than spawned by the program: it then certainly
# speaks into this test's server, and this test ends it.
e2e_speech_start() {
    e2e_require speech-dispatcher
    local socket=$XDG_RUNTIME_DIR/speechd.sock
    install -d "$E2E_TMP/speechd-log" "$E2E_TMP/audio-home/.config"
    (
        export HOME=$E2E_TMP/audio-home XDG_CONFIG_HOME=$E2E_TMP/audio-home/.config
        unset DISPLAY DBUS_SESSION_BUS_ADDRESS
        exec speech-dispatcher --run-single --timeout 0 --communication-method unix_socket \
            --socket-path "$socket" --log-dir "$E2E_TMP/speechd-log" \
            --pid-file "$XDG_RUNTIME_DIR/speechd.pid"
    ) >"$E2E_TMP/speechd.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_poll 15 test -S "$socket" || { cat "$E2E_TMP/speechd.log" >&2; e2e_fail "speech-dispatcher did not start"; }
    export SPEECHD_ADDRESS=unix_socket:$socket
    E2E_SPEECHD_PID=$!
    e2e_log "speech-dispatcher up at $socket"
}

# Fails unless the speech-dispatcher started here is the only one in this test's session: the
# program spoke through it and spawned no daemon of its own (one that would outlive the test).
e2e_speech_check_single() {
    local pid others=()
    for pid in $(pgrep -x speech-dispatch); do # the name, cut to 15 characters
        [[ $pid == "$E2E_SPEECHD_PID" ]] && continue
        if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qxF "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR"; then
            others+=("$pid")
        fi
    done
    ((${#others[@]} == 0)) || e2e_fail "the program spawned its own speech-dispatcher: ${others[*]}"
    kill -0 "$E2E_SPEECHD_PID" 2>/dev/null || e2e_fail "speech-dispatcher is gone"
}

# The recording's length in bytes: where what happens next will be.
e2e_audio_mark() {
    stat -c %s "$E2E_TMP/audio.raw"
}

e2e_audio_summary() {
    python3 "$E2E_AUDIO_DIR/sound_events.py" "$E2E_TMP/audio.raw" summary \
        --rate "$E2E_AUDIO_RATE" --start "$1" "${@:2}"
}

# Waits until, after the mark, there was sound and then `quiet` seconds of silence; prints the
# summary of that stretch.
# Call it as `summary=$(e2e_audio_wait_quiet ...) || exit 1`.
e2e_audio_wait_quiet() {
    local mark=$1 quiet=${2:-1.0} seconds=${3:-20} heard
    if heard=$(python3 "$E2E_AUDIO_DIR/sound_events.py" "$E2E_TMP/audio.raw" wait-quiet \
        --rate "$E2E_AUDIO_RATE" --start "$mark" --quiet "$quiet" --timeout "$seconds" "${@:4}"); then
        printf '%s' "$heard"
        return 0
    fi
    e2e_log "heard: $heard"
    e2e_audio_speech_log
    e2e_fail "no sound followed by ${quiet}s of silence within ${seconds}s"
}

# What speech-dispatcher logged, if it runs: shown when a test fails.
e2e_audio_speech_log() {
    local log
    for log in "$E2E_TMP/speechd.log" "$E2E_TMP"/speechd-log/*; do
        [[ -s $log ]] || continue
        e2e_log "$log:"
        tail -n 20 "$log" | sed 's/^/    /' >&2
    done
}

# Evaluates a Python expression over the fields of a summary (onsets, segments, loud, ...).
e2e_json() {
    python3 -c 'import json, sys; print(eval(sys.argv[2], {}, json.loads(sys.argv[1])))' "$1" "$2"
}

# Makes Open JTalk the Japanese voice of the speech-dispatcher that e2e_speech_start starts,
# the way a learner does: `bash scripts/setup.sh voice` for that daemon's configuration folder
# (found through XDG_CONFIG_HOME; HOME points elsewhere). Call before e2e_speech_start; further
# arguments go to setup.sh (voice-off undoes it).
e2e_speech_japanese_voice() {
    local source_dir=${TOKOTOKO_SOURCE_DIR:-$E2E_AUDIO_DIR/../..}
    install -d "$E2E_TMP/learner-home" "$E2E_TMP/audio-home/.config"
    SUDO_USER='' HOME=$E2E_TMP/learner-home XDG_CONFIG_HOME=$E2E_TMP/audio-home/.config \
        bash "$source_dir/scripts/setup.sh" "${@:-voice}"
}
