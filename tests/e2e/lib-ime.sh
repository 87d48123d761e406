#!/usr/bin/env bash
# Real Japanese input for the end-to-end tests: mozc under fcitx5 or under IBus, run (as mozc
# requires) by an unprivileged user on the test's X display, with a private D-Bus session; the
# program runs as that user through the framework's Qt plugin (QT_IM_MODULE=fcitx or ibus).
# Source after lib.sh and e2e_start_display.
#
#   E2E_IME_FRAMEWORK=ibus # optional, before sourcing: fcitx5 (the default) or ibus
#   E2E_IME_USER=name      # optional, before sourcing: the test user (default tokotoko-e2e);
#                          # tests that use different users can run side by side
#   e2e_ime_start          # user, profile, bus, accessibility bus, the framework ready
#   e2e_start_app_ime      # the program as that user, through the input method
#   e2e_ime_wait_japanese  # waits until mozc is the input method on (fcitx5: active; IBus:
#                          # the global engine); hiragana itself shows in what typing gives
#   e2e_ime_switch_on      # Japanese input on in hiragana from outside the program, as the
#                          # learner's own switch key would
#   e2e_ime_type 'kyou SPACE ENTER'  # romaji typed as keys; SPACE, ENTER, BS, ESC are keys
#   e2e_a11y_wait まちがえた行 '× 1'  # waits until a control shows this (a11y.py)
#   e2e_ime_record_start   # from now on, records what the input method shows the program,
#                          # from its own messages on its bus (ime_bus_log.py)
#   e2e_ime_record_print   # all it showed since the start: "preedit<TAB>text<TAB>highlighted
#                          # clause" and "commit<TAB>text", one a line
#   e2e_ime_record_mark    # only what is shown after this counts for the next wait
#   e2e_ime_record_wait 'regex' [seconds]  # waits until a line recorded after the mark
#                          # matches; prints it, keeps it in E2E_IME_RECORD_LINE and moves the
#                          # mark past it (a mark moved inside $(...) is lost: read the variable)
# fcitx5 only:
#   e2e_ime_state          # 0 closed, 1 inactive, 2 active (fcitx5-remote)
#   e2e_ime_current        # the current input method's name (keyboard-jp, mozc)
#   e2e_ime_wait_state 2 mozc        # waits for that state (and input method)

E2E_IME_FRAMEWORK=${E2E_IME_FRAMEWORK:-fcitx5}
E2E_IME_USER=${E2E_IME_USER:-tokotoko-e2e}
case $E2E_IME_FRAMEWORK in
fcitx5 | ibus) ;;
*) e2e_fail "E2E_IME_FRAMEWORK is fcitx5 or ibus, not '$E2E_IME_FRAMEWORK'" ;;
esac
E2E_IME_RUNTIME=
E2E_IME_BUS=
E2E_IME_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Only one test at a time may use a user: its mozc profile and mozc server are per user.
e2e_ime_lock_user() {
    exec {E2E_IME_LOCK_FD}>"/tmp/tokotoko-e2e-ime.$E2E_IME_USER.lock"
    flock -w 300 "$E2E_IME_LOCK_FD" || e2e_fail "user $E2E_IME_USER stayed busy"
}

e2e_ime_prepare_user() {
    # mozc refuses to run as root, and only root can switch to the test user.
    ((EUID == 0)) || e2e_skip "the input-method tests run as root (they switch to a test user)"
    e2e_require setpriv dbus-launch dbus-monitor xhost flock pgrep
    if [[ $E2E_IME_FRAMEWORK == ibus ]]; then
        e2e_require ibus-daemon ibus gdbus
    else
        e2e_require fcitx5 fcitx5-remote
    fi
    id "$E2E_IME_USER" >/dev/null 2>&1 ||
        useradd --create-home --shell /bin/bash "$E2E_IME_USER" ||
        e2e_fail "cannot create user $E2E_IME_USER"
    e2e_ime_lock_user
    E2E_IME_HOME=$(getent passwd "$E2E_IME_USER" | cut -d: -f6)
    chmod 755 "$E2E_TMP"
    E2E_IME_RUNTIME=$E2E_TMP/ime-runtime
    install -d -m 700 -o "$E2E_IME_USER" -g "$E2E_IME_USER" "$E2E_IME_RUNTIME"
    # mozc starts without learned conversions, so the same romaji always converts the same way;
    # IBus starts with no engine chosen, as on a desktop where the program must choose mozc.
    rm -rf "$E2E_IME_HOME/.config/mozc" "$E2E_IME_HOME/.config/fcitx5" \
        "$E2E_IME_HOME/.config/ibus" "$E2E_IME_HOME/.config/dconf" "$E2E_IME_HOME/.cache/ibus"
    install -d -o "$E2E_IME_USER" -g "$E2E_IME_USER" "$E2E_IME_HOME/.config"
    [[ $E2E_IME_FRAMEWORK == fcitx5 ]] && e2e_ime_fcitx5_profile
    chown -R "$E2E_IME_USER:$E2E_IME_USER" "$E2E_IME_HOME/.config"
    xhost +SI:localuser:"$E2E_IME_USER" >/dev/null
}

# A fresh profile under the C locale has no mozc: give it the Japanese keyboard and mozc.
e2e_ime_fcitx5_profile() {
    local config=$E2E_IME_HOME/.config/fcitx5
    install -d "$config"
    cat >"$config/profile" <<'PROFILE'
[Groups/0]
Name=Default
Default Layout=jp
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-jp
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
PROFILE
}

e2e_ime_start() {
    e2e_ime_prepare_user
    local bus
    E2E_IME_BUS=
    bus=$(e2e_ime_run dbus-launch --sh-syntax) || e2e_fail "dbus-launch"
    E2E_IME_BUS=$(sed -n "s/^DBUS_SESSION_BUS_ADDRESS='\(.*\)';$/\1/p" <<<"$bus")
    local bus_pid
    bus_pid=$(sed -n 's/^DBUS_SESSION_BUS_PID=\([0-9]*\);$/\1/p' <<<"$bus")
    [[ -n $E2E_IME_BUS && -n $bus_pid ]] || e2e_fail "no session bus: $bus"
    E2E_PIDS+=("$bus_pid")
    # The accessibility bus must be up before the program starts, or Qt never looks for it.
    e2e_ime_run dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress >/dev/null 2>&1 || e2e_log "no accessibility bus"
    if [[ $E2E_IME_FRAMEWORK == ibus ]]; then
        e2e_ime_start_ibus
    else
        e2e_ime_start_fcitx5
    fi
}

e2e_ime_start_fcitx5() {
    (e2e_ime_command && exec "${E2E_IME_CMD[@]}" fcitx5 --replace \
        --disable=wayland,kimpanel,notificationitem,dbusmenu) >"$E2E_TMP/fcitx5.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_poll 20 e2e_ime_ready || { cat "$E2E_TMP/fcitx5.log" >&2; e2e_fail "fcitx5 did not start"; }
    # fcitx5 answers before its mozc addon is loaded (its XIM frontend may retry for a second);
    # switching to mozc before that leaves the input method off.
    e2e_poll 20 grep -q 'Loaded addon mozc' "$E2E_TMP/fcitx5.log" ||
        { cat "$E2E_TMP/fcitx5.log" >&2; e2e_fail "fcitx5 did not load mozc"; }
    e2e_log "fcitx5 up (user $E2E_IME_USER, bus $E2E_IME_BUS)"
}

# ibus-daemon as GNOME starts it, less the panel. It ends with its parent, this script; it
# writes the address of its own bus under the user's configuration folder.
e2e_ime_start_ibus() {
    (e2e_ime_command && exec "${E2E_IME_CMD[@]}" ibus-daemon --panel disable --xim) \
        >"$E2E_TMP/ibus.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_poll 20 e2e_ime_ready || { cat "$E2E_TMP/ibus.log" >&2; e2e_fail "ibus-daemon did not start"; }
    e2e_log "ibus-daemon up (user $E2E_IME_USER, bus $(e2e_ime_ibus_address))"
}

# The address of ibus-daemon's bus, from the file it writes (as `ibus address` reads it).
e2e_ime_ibus_address() {
    e2e_ime_run ibus address 2>/dev/null
}

# Sets E2E_IME_CMD: the command prefix that runs a program as the test user inside the
# input-method session.
e2e_ime_command() {
    local module=fcitx
    [[ $E2E_IME_FRAMEWORK == ibus ]] && module=ibus
    E2E_IME_CMD=(setpriv --reuid="$E2E_IME_USER" --regid="$E2E_IME_USER" --init-groups
        -- /usr/bin/env -i HOME="$E2E_IME_HOME" USER="$E2E_IME_USER" LOGNAME="$E2E_IME_USER"
        PATH=/usr/local/bin:/usr/bin:/bin DISPLAY="$DISPLAY" LANG=C.UTF-8 LC_ALL=C.UTF-8
        XDG_RUNTIME_DIR="$E2E_IME_RUNTIME" XDG_CONFIG_HOME="$E2E_IME_HOME/.config"
        DBUS_SESSION_BUS_ADDRESS="$E2E_IME_BUS"
        QT_IM_MODULE="$module" XMODIFIERS=@im="$module" GTK_IM_MODULE="$module"
        QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
        ${QT_SCALE_FACTOR:+QT_SCALE_FACTOR=$QT_SCALE_FACTOR})
}

# Runs a command as the test user inside the input-method session.
e2e_ime_run() {
    e2e_ime_command
    "${E2E_IME_CMD[@]}" "$@"
}

# Ends every process of this test's session (the input method and its helpers, mozc_server,
# the buses, the monitor, the program): those of the test user that run with this test's
# runtime folder.
e2e_ime_stop() {
    [[ -n $E2E_IME_RUNTIME ]] || return 0
    local pid
    for pid in $(pgrep -u "$E2E_IME_USER" 2>/dev/null); do
        if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null |
            grep -qxF "XDG_RUNTIME_DIR=$E2E_IME_RUNTIME"; then
            kill "$pid" 2>/dev/null
        fi
    done
}
trap 'e2e_ime_stop; e2e_cleanup' EXIT

e2e_ime_ready() {
    if [[ $E2E_IME_FRAMEWORK == ibus ]]; then
        local address
        address=$(e2e_ime_ibus_address) && [[ -n $address && $address != "(null)" ]] &&
            e2e_ime_run dbus-send --address="$address" --print-reply --dest=org.freedesktop.IBus \
                /org/freedesktop/IBus org.freedesktop.DBus.Peer.Ping >/dev/null 2>&1
    else
        [[ $(e2e_ime_run fcitx5-remote 2>/dev/null) =~ ^[0-2]$ ]]
    fi
}

# The engine IBus uses for every input context (empty when none is chosen yet).
e2e_ime_ibus_engine() {
    e2e_ime_run ibus engine 2>/dev/null
}

# Waits until mozc is the input method on: fcitx5 active with mozc, or mozc IBus's engine.
e2e_ime_wait_japanese() {
    local seconds=${1:-5}
    if [[ $E2E_IME_FRAMEWORK == fcitx5 ]]; then
        e2e_ime_wait_state 2 mozc "$seconds"
        return
    fi
    e2e_poll "$seconds" bash -c '[[ $("$@" ibus engine 2>/dev/null) == mozc-jp ]]' _ "${E2E_IME_CMD[@]}" ||
        e2e_fail "IBus engine '$(e2e_ime_ibus_engine)', expected mozc-jp"
    e2e_log "input method: IBus with mozc"
}

# Japanese input on in hiragana from outside the program, as the learner's own switch key
# would do it: fcitx5's "open"; under IBus mozc as the engine, switched to hiragana through
# each of its engine objects (its input mode is one for all of them).
e2e_ime_switch_on() {
    if [[ $E2E_IME_FRAMEWORK == fcitx5 ]]; then
        e2e_ime_run fcitx5-remote -o
        return
    fi
    # (`ibus engine NAME` sets the engine but ends with status 1 here.)
    [[ $(e2e_ime_ibus_engine) == mozc-jp ]] || e2e_ime_run ibus engine mozc-jp 2>/dev/null
    e2e_ime_wait_japanese 10
    local address engine engines
    address=$(e2e_ime_ibus_address)
    e2e_poll 10 bash -c '"$@" gdbus introspect --address "$0" --dest com.google.IBus.Mozc \
        --object-path /org/freedesktop/IBus/Engine 2>/dev/null | grep -q "node [0-9]"' \
        "$address" "${E2E_IME_CMD[@]}" || e2e_fail "no mozc engine on the IBus bus"
    engines=$(e2e_ime_run gdbus introspect --address "$address" --dest com.google.IBus.Mozc \
        --object-path /org/freedesktop/IBus/Engine | sed -n 's/^ *node \([0-9]*\) .*/\1/p')
    for engine in $engines; do
        e2e_ime_run gdbus call --address "$address" --dest com.google.IBus.Mozc \
            --object-path "/org/freedesktop/IBus/Engine/$engine" \
            --method org.freedesktop.IBus.Engine.PropertyActivate InputMode.Hiragana 1 >/dev/null ||
            e2e_fail "mozc did not take hiragana"
    done
    e2e_log "mozc on in hiragana (engines $(echo $engines))"
}

e2e_ime_state() {
    e2e_ime_run fcitx5-remote 2>/dev/null
}

e2e_ime_current() {
    e2e_ime_run fcitx5-remote -n 2>/dev/null
}

# Waits until fcitx5 reports this state (2 active, 1 inactive) and, if given, input method.
e2e_ime_wait_state() {
    local state=$1 name=${2:-} seconds=${3:-5}
    e2e_poll "$seconds" bash -c '[[ $("$@" fcitx5-remote 2>/dev/null) == "$0" ]]' \
        "$state" "${E2E_IME_CMD[@]}" ||
        e2e_fail "input method state $(e2e_ime_state), expected $state"
    if [[ -n $name ]]; then
        e2e_poll "$seconds" bash -c '[[ $("$@" fcitx5-remote -n 2>/dev/null) == "$0" ]]' \
            "$name" "${E2E_IME_CMD[@]}" ||
            e2e_fail "input method $(e2e_ime_current), expected $name"
    fi
    e2e_log "input method: state $state ${name}"
}

# Types romaji and keys through the input method, in order: SPACE converts, ENTER confirms
# (or sends Enter when nothing is pending), BS is BackSpace, ESC cancels a composition; any
# other word is typed as keys.
e2e_ime_type() {
    local step
    for step in $1; do
        case $step in
        SPACE) xdotool key --delay 40 65 ;;
        ENTER) xdotool key --delay 40 36 ;;
        BS) xdotool key --delay 40 22 ;;
        ESC) xdotool key --delay 40 Escape ;;
        *) xdotool type --delay 40 "$step" ;;
        esac || e2e_fail "xdotool: $step"
    done
}

# Starts the program as the test user, with the input method; waits for the entrance.
e2e_start_app_ime() {
    (cd "$E2E_TMP" && e2e_ime_command && exec "${E2E_IME_CMD[@]}" "$E2E_APP" "$@") \
        >"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
    e2e_wait_window 'とことこいりぐち' 20
}

# The value a control shows through the accessibility tree (see a11y.py).
e2e_a11y_value() {
    e2e_ime_run python3 "$E2E_IME_DIR/a11y.py" value "$1"
}

# Waits until the control with accessible name $1 shows something else than $2; prints it.
e2e_a11y_change() {
    local name=$1 old=$2 seconds=${3:-5}
    e2e_ime_run python3 "$E2E_IME_DIR/a11y.py" change "$name" "$old" "$seconds" ||
        e2e_fail "$name still shows '$old'"
}

# Waits until the control with accessible name $1 shows exactly $2.
e2e_a11y_wait() {
    local name=$1 expected=$2 seconds=${3:-5} seen
    seen=$(e2e_ime_run python3 "$E2E_IME_DIR/a11y.py" wait "$name" "$expected" "$seconds") ||
        e2e_fail "$name shows '$seen', expected '$expected'"
    e2e_log "$name: $expected"
}

# Records, as the test user, the input method's messages to the program's input contexts on
# the bus it uses: fcitx5's on the session bus, IBus's on its own. Returns once the monitor
# hears the bus (a signal of the test's own, sent until it shows in the record).
e2e_ime_record_start() {
    E2E_IME_RECORD=$E2E_TMP/ime-bus.$((++E2E_IME_RECORDS)).log
    E2E_IME_RECORD_MARK=0
    local bus=(--address "$E2E_IME_BUS") interface=org.fcitx.Fcitx.InputContext1
    local members=(UpdateFormattedPreedit CommitString)
    if [[ $E2E_IME_FRAMEWORK == ibus ]]; then
        bus=(--address "$(e2e_ime_ibus_address)") interface=org.freedesktop.IBus.InputContext
        members=(UpdatePreeditText ShowPreeditText HidePreeditText CommitText)
    fi
    local rules=("type='signal',interface='org.tokotoko.E2E'") member
    for member in "${members[@]}"; do
        rules+=("type='signal',interface='$interface',member='$member'")
    done
    (e2e_ime_command && exec "${E2E_IME_CMD[@]}" dbus-monitor "${bus[@]}" "${rules[@]}") \
        >"$E2E_IME_RECORD" 2>"$E2E_IME_RECORD.err" &
    E2E_PIDS+=($!)
    e2e_poll 10 bash -c 'bus=$1 record=$2; shift 2
        "$@" dbus-send "$bus" --type=signal /org/tokotoko/E2E org.tokotoko.E2E.Listening &&
            grep -q "member=Listening" "$record"' _ "${bus[0]}=${bus[1]}" "$E2E_IME_RECORD" \
        "${E2E_IME_CMD[@]}" ||
        e2e_fail "dbus-monitor does not hear the bus: $(cat "$E2E_IME_RECORD.err")"
}
E2E_IME_RECORDS=0
E2E_IME_RECORD=

e2e_ime_record_print() {
    [[ -n $E2E_IME_RECORD ]] || e2e_fail "e2e_ime_record_start first"
    python3 "$E2E_IME_DIR/ime_bus_log.py" "$E2E_IME_FRAMEWORK" <"$E2E_IME_RECORD"
}

# From now on, only what the input method shows after this point counts for the waits.
e2e_ime_record_mark() {
    E2E_IME_RECORD_MARK=$(e2e_ime_record_print | wc -l)
}
E2E_IME_RECORD_MARK=0
E2E_IME_RECORD_LINE=

# Waits until a line recorded after the mark matches the extended regex (lines as
# e2e_ime_record_print gives them); prints it, keeps it in E2E_IME_RECORD_LINE, and moves the
# mark past it.
e2e_ime_record_wait() {
    local pattern=$1 seconds=${2:-5} deadline number line
    deadline=$((SECONDS + seconds))
    while :; do
        number=0
        while IFS= read -r line; do
            ((++number > E2E_IME_RECORD_MARK)) || continue
            if [[ $line =~ $pattern ]]; then
                E2E_IME_RECORD_MARK=$number
                E2E_IME_RECORD_LINE=$line
                e2e_log "the input method showed: $line"
                printf '%s\n' "$line"
                return 0
            fi
        done < <(e2e_ime_record_print)
        ((SECONDS >= deadline)) && break
        sleep 0.05
    done
    e2e_log "recorded from the input method (the mark after line $E2E_IME_RECORD_MARK):"
    e2e_ime_record_print | cat -n | sed 's/^/    /' >&2
    e2e_fail "the input method never showed /$pattern/"
}
