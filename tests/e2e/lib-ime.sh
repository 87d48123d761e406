#!/usr/bin/env bash
# Real Japanese input for the end-to-end tests: fcitx5 with mozc, run (as mozc requires) by
# an unprivileged user on the test's X display, with a private D-Bus session; the program
# runs as that user with QT_IM_MODULE=fcitx. Source after lib.sh and e2e_start_display.
#
#   e2e_ime_start          # user, profile, bus, fcitx5 with mozc ready
#   e2e_start_app_ime      # the program as that user, through the input method
#   e2e_ime_state          # 0 closed, 1 inactive, 2 active (fcitx5-remote)
#   e2e_ime_current        # the current input method's name (keyboard-jp, mozc)

E2E_IME_USER=${E2E_IME_USER:-tokotoko-e2e}

e2e_ime_prepare_user() {
    e2e_require setpriv dbus-launch fcitx5 fcitx5-remote xhost
    id "$E2E_IME_USER" >/dev/null 2>&1 ||
        useradd --create-home --shell /bin/bash "$E2E_IME_USER" ||
        e2e_fail "cannot create user $E2E_IME_USER"
    E2E_IME_HOME=$(getent passwd "$E2E_IME_USER" | cut -d: -f6)
    chmod 755 "$E2E_TMP"
    E2E_IME_RUNTIME=$E2E_TMP/ime-runtime
    install -d -m 700 -o "$E2E_IME_USER" -g "$E2E_IME_USER" "$E2E_IME_RUNTIME"
    # A fresh profile under the C locale has no mozc: give it the Japanese keyboard and mozc.
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
    e2e_ime_run fcitx5 --replace --disable=wayland,kimpanel,notificationitem,dbusmenu \
        >"$E2E_TMP/fcitx5.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_poll 20 e2e_ime_ready || { cat "$E2E_TMP/fcitx5.log" >&2; e2e_fail "fcitx5 did not start"; }
    e2e_log "fcitx5 up (bus $E2E_IME_BUS)"
}

# Runs a command as the test user inside the input-method session.
e2e_ime_run() {
    setpriv --reuid="$E2E_IME_USER" --regid="$E2E_IME_USER" --init-groups \
        -- /usr/bin/env -i HOME="$E2E_IME_HOME" USER="$E2E_IME_USER" LOGNAME="$E2E_IME_USER" \
        PATH=/usr/local/bin:/usr/bin:/bin DISPLAY="$DISPLAY" LANG=C.UTF-8 LC_ALL=C.UTF-8 \
        XDG_RUNTIME_DIR="$E2E_IME_RUNTIME" XDG_CONFIG_HOME="$E2E_IME_HOME/.config" \
        DBUS_SESSION_BUS_ADDRESS="$E2E_IME_BUS" \
        QT_IM_MODULE=fcitx XMODIFIERS=@im=fcitx GTK_IM_MODULE=fcitx QT_QPA_PLATFORM=xcb \
        "$@"
}

e2e_ime_ready() {
    [[ $(e2e_ime_run fcitx5-remote 2>/dev/null) =~ ^[0-2]$ ]]
}

e2e_ime_state() {
    e2e_ime_run fcitx5-remote 2>/dev/null
}

e2e_ime_current() {
    e2e_ime_run fcitx5-remote -n 2>/dev/null
}

# Starts the program as the test user, with the input method; waits for the entrance.
e2e_start_app_ime() {
    (cd "$E2E_TMP" && e2e_ime_run "$E2E_APP" "$@") >"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
    e2e_wait_window 'とことこいりぐち' 20
}
