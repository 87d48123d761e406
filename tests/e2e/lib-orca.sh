#!/usr/bin/env bash
# The real Orca screen reader for the end-to-end tests: a private D-Bus session with its
# accessibility bus, Orca speaking through a private speech-dispatcher into a null sink, and
# what Orca says read from its debug log. The program is then started as a learner starts it:
# nothing in its environment turns accessibility on, Qt does so because a screen reader runs.
# Source after lib.sh and lib-audio.sh, and after e2e_start_display.
#
#   e2e_orca_start             # bus, accessibility bus, speech, Orca up and talking
#   e2e_orca_wait_app          # the program is on the accessibility bus (after e2e_start_app)
#   orca_mark                  # from now on, only what Orca says after this point counts
#   orca_wait_said 'regex' [seconds]   # waits for a spoken line after the mark that matches
#                              # (an extended regex over the text Orca spoke); prints it
#   orca_said_since_mark       # every spoken line since the mark, one a line
#   orca_log_tail [lines]      # the end of Orca's debug log, for a failure message
#
# Orca allows one instance per user: the Orca tests run one at a time (a lock).

E2E_ORCA_LOG=
E2E_ORCA_MARK=0
E2E_ORCA_BUS=
E2E_ORCA_RUN=() # the command prefix that runs a program in Orca's session (its user)

# Ends what the private session bus started for itself (the accessibility bus and registry):
# the processes that carry this test's bus address.
e2e_orca_stop() {
    [[ -n $E2E_ORCA_BUS ]] || return 0
    local pid
    for pid in $(pgrep -u "$EUID" 'at-spi|dbus-daemon'); do
        if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null |
            grep -qxF "DBUS_SESSION_BUS_ADDRESS=$E2E_ORCA_BUS"; then
            kill "$pid" 2>/dev/null
        fi
    done
}
trap 'e2e_orca_stop; e2e_cleanup' EXIT

e2e_orca_start() {
    e2e_require dbus-launch dbus-send /usr/bin/orca flock
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || e2e_fail "no pyatspi for /usr/bin/python3"
    exec {E2E_ORCA_LOCK_FD}>/tmp/tokotoko-e2e-orca.lock
    flock -w 300 "$E2E_ORCA_LOCK_FD" || e2e_fail "another Orca test stayed running"
    pgrep -u "$EUID" -x orca >/dev/null && e2e_fail "Orca already runs for this user: it allows only one"
    # Accessibility must come on because Orca runs, as on a learner's desktop.
    unset QT_ACCESSIBILITY QT_LINUX_ACCESSIBILITY_ALWAYS_ON NO_AT_BRIDGE
    e2e_audio_start
    e2e_speech_start
    local bus bus_pid
    bus=$(dbus-launch --sh-syntax) || e2e_fail "dbus-launch"
    DBUS_SESSION_BUS_ADDRESS=$(sed -n "s/^DBUS_SESSION_BUS_ADDRESS='\(.*\)';$/\1/p" <<<"$bus")
    bus_pid=$(sed -n 's/^DBUS_SESSION_BUS_PID=\([0-9]*\);$/\1/p' <<<"$bus")
    [[ -n $DBUS_SESSION_BUS_ADDRESS && -n $bus_pid ]] || e2e_fail "no session bus: $bus"
    export DBUS_SESSION_BUS_ADDRESS
    E2E_ORCA_BUS=$DBUS_SESSION_BUS_ADDRESS
    E2E_PIDS+=("$bus_pid")
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress >/dev/null || e2e_fail "no accessibility bus"
    install -d "$E2E_TMP/orca-home"
    e2e_orca_launch
    orca_wait_said '.' 30 >/dev/null
}

# Orca itself, speaking its lines into E2E_ORCA_LOG, as the user in the environment of
# "$@" (nothing: this shell's user and environment).
e2e_orca_launch() {
    E2E_ORCA_LOG=$E2E_TMP/orca.log
    # What Orca speaks, line by line: Orca's own speech log (the "SPEECH OUTPUT" lines of its
    # debug log) on an unbuffered stderr. Its whole debug log (E2E_ORCA_DEBUG=1) slows Orca
    # down so much that it falls seconds behind a typist.
    (
        export HOME=$E2E_TMP/orca-home XDG_CONFIG_HOME=$E2E_TMP/orca-home/.config
        export XDG_DATA_HOME=$E2E_TMP/orca-home/.local/share
        export E2E_ORCA_DEBUG=${E2E_ORCA_DEBUG:-0}
        exec "$@" /usr/bin/env HOME="$HOME" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" \
            XDG_DATA_HOME="$XDG_DATA_HOME" E2E_ORCA_DEBUG="$E2E_ORCA_DEBUG" /usr/bin/python3 -u -c '
import logging, os, runpy, sys
from orca import debug
handler = logging.StreamHandler(sys.stderr)
handler.setFormatter(logging.Formatter("%(asctime)s - %(message)s"))
logging.getLogger("speech").addHandler(handler)
if os.environ["E2E_ORCA_DEBUG"] == "1":
    debug.debugLevel = debug.LEVEL_ALL
    debug.eventDebugLevel = debug.LEVEL_OFF
sys.argv = ["orca"]
runpy.run_path("/usr/bin/orca", run_name="__main__")'
    ) >"$E2E_ORCA_LOG" 2>&1 &
    E2E_ORCA_PID=$!
    E2E_PIDS+=("$E2E_ORCA_PID")
}

# Orca in the input-method session of lib-ime.sh (after e2e_ime_start): Orca, the input method
# and the program share the test user's session bus, as on a learner's desktop; Orca speaks
# through a speech-dispatcher and an audio server of that user. The program started then with
# e2e_start_app_ime has no accessibility variable in its environment.
e2e_orca_start_ime() {
    e2e_require /usr/bin/orca flock pulseaudio speech-dispatcher
    exec {E2E_ORCA_LOCK_FD}>/tmp/tokotoko-e2e-orca.lock
    flock -w 300 "$E2E_ORCA_LOCK_FD" || e2e_fail "another Orca test stayed running"
    pgrep -u "$E2E_IME_USER" -x orca >/dev/null && e2e_fail "Orca already runs for $E2E_IME_USER"
    local home=$E2E_TMP/orca-home runtime=$E2E_IME_RUNTIME
    install -d -o "$E2E_IME_USER" -g "$E2E_IME_USER" "$home" "$home/.config" "$home/.local"
    e2e_ime_command
    local -a as_user=()
    local word
    for word in "${E2E_IME_CMD[@]}"; do
        [[ $word == QT_LINUX_ACCESSIBILITY_ALWAYS_ON=* ]] || as_user+=("$word")
    done
    E2E_IME_CMD=("${as_user[@]}" PULSE_SERVER="unix:$runtime/pulse/native"
        SPEECHD_ADDRESS="unix_socket:$runtime/speechd.sock")
    e2e_ime_run pulseaudio -n --daemonize=no --exit-idle-time=-1 --system=false \
        --use-pid-file=no --log-target=stderr -L module-native-protocol-unix \
        -L "module-null-sink sink_name=t" >"$E2E_TMP/pulseaudio.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_poll 15 e2e_ime_run pactl info >/dev/null 2>&1 ||
        { cat "$E2E_TMP/pulseaudio.log" >&2; e2e_fail "pulseaudio did not start"; }
    e2e_ime_run pactl set-default-sink t || e2e_fail "no null sink"
    install -d -o "$E2E_IME_USER" -g "$E2E_IME_USER" "$E2E_TMP/speechd-log"
    e2e_ime_run speech-dispatcher --run-single --timeout 0 --communication-method unix_socket \
        --socket-path "$runtime/speechd.sock" --log-dir "$E2E_TMP/speechd-log" \
        --pid-file "$runtime/speechd.pid" >"$E2E_TMP/speechd.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_poll 15 test -S "$runtime/speechd.sock" ||
        { cat "$E2E_TMP/speechd.log" >&2; e2e_fail "speech-dispatcher did not start"; }
    E2E_ORCA_RUN=("${E2E_IME_CMD[@]}")
    e2e_orca_launch "${E2E_ORCA_RUN[@]}"
    orca_wait_said '.' 30 >/dev/null
    e2e_log "Orca up in the input-method session"
}

# Waits until the program (APP_PID) is on the accessibility bus: Qt switched accessibility on
# because a screen reader runs, not because its environment asked for it.
e2e_orca_wait_app() {
    local seconds=${1:-20}
    e2e_poll "$seconds" "${E2E_ORCA_RUN[@]}" /usr/bin/python3 -c '
import sys, pyatspi
desktop = pyatspi.Registry.getDesktop(0)
sys.exit(0 if any(app is not None and app.get_process_id() == int(sys.argv[1]) for app in desktop) else 1)' "$APP_PID" ||
        e2e_fail "the program is not on the accessibility bus"
    e2e_log "the program is on the accessibility bus"
}

# Orca's spoken lines from the log's line `from` on, each as "line number<TAB>text". A log
# line is "time - SPEECH OUTPUT: 'text'" followed by the voice: " voice=name", then the
# voice's settings ({...}) or None.
orca_spoken() {
    local from=${1:-1}
    tail -n +"$from" "$E2E_ORCA_LOG" | grep -an "SPEECH OUTPUT: '" |
        sed -E "s/^([0-9]+):.*SPEECH OUTPUT: '(.*)'( voice=[^ {]*)? ?(\{.*\}|None)?\$/\1\t\2/" |
        awk -F '\t' -v base=$((from - 1)) '{ printf "%d\t%s\n", $1 + base, $2 }'
}

orca_mark() {
    E2E_ORCA_MARK=$(wc -l <"$E2E_ORCA_LOG")
}

orca_said_since_mark() {
    orca_spoken $((E2E_ORCA_MARK + 1)) | cut -f2-
}

# Waits for a line spoken after the mark that matches; prints it and moves the mark past it,
# so that the next wait looks only at what Orca said after this line.
orca_wait_said() {
    local pattern=$1 seconds=${2:-10} deadline line text
    deadline=$((SECONDS + seconds))
    while :; do
        while IFS=$'\t' read -r line text; do
            [[ $text =~ $pattern ]] || continue
            E2E_ORCA_MARK=$line
            e2e_log "Orca said: $text"
            printf '%s\n' "$text"
            return 0
        done < <(orca_spoken $((E2E_ORCA_MARK + 1)))
        ((SECONDS >= deadline)) && break
        sleep 0.05
    done
    e2e_log "Orca said since the mark:"
    orca_said_since_mark | sed 's/^/    /' >&2
    e2e_fail "Orca did not say /$pattern/ within ${seconds}s"
}

orca_log_tail() {
    tail -n "${1:-40}" "$E2E_ORCA_LOG"
}
