#!/usr/bin/env bash
# Real Japanese input for the end-to-end tests: fcitx5 with mozc, run (as mozc requires) by
# an unprivileged user on the test's X display, with a private D-Bus session; the program
# runs as that user with QT_IM_MODULE=fcitx. Source after lib.sh and e2e_start_display.
#
#   E2E_IME_USER=name      # optional, before sourcing: the test user (default tokotoko-e2e);
#                          # tests that use different users can run side by side
#   e2e_ime_start          # user, profile, bus, accessibility bus, fcitx5 with mozc ready
#   e2e_start_app_ime      # the program as that user, through the input method
#   e2e_ime_state          # 0 closed, 1 inactive, 2 active (fcitx5-remote)
#   e2e_ime_current        # the current input method's name (keyboard-jp, mozc)
#   e2e_ime_wait_state 2 mozc        # waits for that state (and input method)
#   e2e_ime_type 'kyou SPACE ENTER'  # romaji typed as keys; SPACE, ENTER, BS are keys
#   e2e_a11y_wait まちがえた行 '× 1'  # waits until a control shows this (a11y.py)

E2E_IME_USER=${E2E_IME_USER:-tokotoko-e2e}
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
    e2e_require setpriv dbus-launch fcitx5 fcitx5-remote xhost flock pgrep
    id "$E2E_IME_USER" >/dev/null 2>&1 ||
        useradd --create-home --shell /bin/bash "$E2E_IME_USER" ||
        e2e_fail "cannot create user $E2E_IME_USER"
    e2e_ime_lock_user
    E2E_IME_HOME=$(getent passwd "$E2E_IME_USER" | cut -d: -f6)
    chmod 755 "$E2E_TMP"
    E2E_IME_RUNTIME=$E2E_TMP/ime-runtime
    install -d -m 700 -o "$E2E_IME_USER" -g "$E2E_IME_USER" "$E2E_IME_RUNTIME"
    # A fresh profile under the C locale has no mozc: give it the Japanese keyboard and mozc.
    # mozc starts without learned conversions, so the same romaji always converts the same way.
    local config=$E2E_IME_HOME/.config/fcitx5
    rm -rf "$E2E_IME_HOME/.config/mozc" "$config"
    install -d -o "$E2E_IME_USER" -g "$E2E_IME_USER" "$E2E_IME_HOME/.config" "$config"
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
    chown -R "$E2E_IME_USER:$E2E_IME_USER" "$E2E_IME_HOME/.config"
    xhost +SI:localuser:"$E2E_IME_USER" >/dev/null
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

# Sets E2E_IME_CMD: the command prefix that runs a program as the test user inside the
# input-method session.
e2e_ime_command() {
    E2E_IME_CMD=(setpriv --reuid="$E2E_IME_USER" --regid="$E2E_IME_USER" --init-groups
        -- /usr/bin/env -i HOME="$E2E_IME_HOME" USER="$E2E_IME_USER" LOGNAME="$E2E_IME_USER"
        PATH=/usr/local/bin:/usr/bin:/bin DISPLAY="$DISPLAY" LANG=C.UTF-8 LC_ALL=C.UTF-8
        XDG_RUNTIME_DIR="$E2E_IME_RUNTIME" XDG_CONFIG_HOME="$E2E_IME_HOME/.config"
        DBUS_SESSION_BUS_ADDRESS="$E2E_IME_BUS"
        QT_IM_MODULE=fcitx XMODIFIERS=@im=fcitx GTK_IM_MODULE=fcitx QT_QPA_PLATFORM=xcb
        QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 ${QT_SCALE_FACTOR:+QT_SCALE_FACTOR=$QT_SCALE_FACTOR})
}

# Runs a command as the test user inside the input-method session.
e2e_ime_run() {
    e2e_ime_command
    "${E2E_IME_CMD[@]}" "$@"
}

# Ends every process of this test's session (fcitx5, mozc_server, the buses, the program):
# those of the test user that run with this test's runtime folder.
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
    [[ $(e2e_ime_run fcitx5-remote 2>/dev/null) =~ ^[0-2]$ ]]
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
# (or sends Enter when nothing is pending), BS is BackSpace; any other word is typed as keys.
e2e_ime_type() {
    local step
    for step in $1; do
        case $step in
        SPACE) xdotool key --delay 40 65 ;;
        ENTER) xdotool key --delay 40 36 ;;
        BS) xdotool key --delay 40 22 ;;
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
