#!/usr/bin/env bash
# Shared by the end-to-end tests: a private Xvfb display with the JIS keymap and a window
# manager, the real binary, real X key events sent by keycode, and the real clipboard.
#
#   source lib.sh "$tokotoko"      # path of build/tokotoko
#   e2e_start_display; e2e_start_app
#   e2e_key 116                    # an X keycode (evdev + 8); modifiers as in "shift+13"
#   e2e_wait_clip '２\r\nどの指使うの'  # printf format of the exact bytes expected
#
#   E2E_TYPED_TEXT=...             # optional, before e2e_start_display: text the test will
#                                  # type with xdotool type (see e2e_keymap_add)
set -uo pipefail

E2E_APP=${1:?usage: script path/to/tokotoko}
E2E_APP=$(readlink -f "$E2E_APP")
E2E_TMP=$(mktemp -d)
E2E_PIDS=()
APP_PID=
WIN=

e2e_log() { printf '[e2e %s] %s\n' "$(date +%H:%M:%S.%N | cut -c1-12)" "$*" >&2; }

e2e_fail() {
    e2e_log "FAIL: $*"
    # What the screen showed, for the one who reads the log.
    if [[ -n ${DISPLAY:-} ]] && command -v import >/dev/null; then
        local shot=/tmp/tokotoko-e2e-failures/$(basename "$0" .sh)-$(date +%H%M%S).png
        mkdir -p "${shot%/*}" && timeout 10 import -window root "$shot" 2>/dev/null &&
            e2e_log "screen at the failure: $shot"
    fi
    if [[ -s $E2E_TMP/app.log ]]; then
        e2e_log "program output:"
        sed 's/^/    /' "$E2E_TMP/app.log" >&2
    fi
    exit 1
}

# Reports that the test cannot run on this machine (CTest counts exit 77 as skipped). Where
# every test must run (CI sets TOKOTOKO_NO_SKIP=1), that is a failure instead.
e2e_skip() {
    if [[ ${TOKOTOKO_NO_SKIP:-} == 1 ]]; then
        e2e_fail "cannot run here, and skipping is not allowed: $*"
    fi
    e2e_log "SKIP: $*"
    exit 77
}

# The speech daemon the program spawns for itself (speech-dispatcher and its sd_* modules)
# carries the test's private XDG_RUNTIME_DIR: stop it with the test.
e2e_kill_leftovers() {
    [[ -n ${E2E_TMP:-} ]] || return 0
    local pid
    for pid in $(pgrep -x speech-dispatch; pgrep '^sd_'); do
        if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null |
            grep -qF "XDG_RUNTIME_DIR=$E2E_TMP/"; then
            kill -9 "$pid" 2>/dev/null
        fi
    done
}

e2e_cleanup() {
    [[ -n ${APP_PID:-} ]] && kill -9 "$APP_PID" 2>/dev/null
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    e2e_kill_leftovers
    wait 2>/dev/null
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

# Polls a command until it succeeds or `seconds` pass.
e2e_poll() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        ((SECONDS >= deadline)) && return 1
        sleep 0.05
    done
}

e2e_require() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || e2e_fail "missing tool: $tool (run scripts/setup.sh test)"
    done
}

# Gives every character of `text` beyond ASCII a key of its own, on spare keycodes (no
# symbol, or only multimedia ones). xdotool type then sends each character as a plain key.
# Otherwise it remaps a keycode for every such character, several times per character: each
# remapping makes every client read the keymap again, the window manager falls seconds behind
# (window activations time out, keys go to no window), and the program may read a keymap that
# has already changed again (a wrong character). Runs before any other client connects.
e2e_keymap_add() {
    local LC_ALL=C.UTF-8
    local text=$1 spare=() args=() char i
    local -A bound=()
    mapfile -t spare < <(xmodmap -pke |
        awk '$2 >= 120 { for (i = 4; i <= NF; i++) if ($i !~ /^(XF86|NoSymbol)/) next; print $2 }')
    for ((i = 0; i < ${#text}; i++)); do
        char=${text:i:1}
        [[ $char == [[:ascii:]] || -n ${bound[$char]+set} ]] && continue
        ((${#bound[@]} < ${#spare[@]})) || e2e_fail "more characters to type than spare keys"
        args+=(-e "keycode ${spare[${#bound[@]}]} = $(printf 'U%04X' "'$char")")
        bound[$char]=1
    done
    ((${#args[@]} == 0)) || xmodmap "${args[@]}" || e2e_fail "xmodmap"
}

# Starts Xvfb on a free display, the jp106 keymap (with keys for E2E_TYPED_TEXT), no
# autorepeat, and openbox.
e2e_start_display() {
    e2e_require Xvfb setxkbmap xmodmap xset xdotool xclip openbox xprop
    local width=${1:-1280} height=${2:-800}
    # -noreset: otherwise the server resets (and forgets the keymap) whenever its last client
    # disconnects, and refuses connections while it does.
    Xvfb -displayfd 3 -noreset -screen 0 "${width}x${height}x24" -nolisten tcp \
        3>"$E2E_TMP/display" 2>"$E2E_TMP/xvfb.log" &
    E2E_PIDS+=($!)
    e2e_poll 15 test -s "$E2E_TMP/display" || e2e_fail "Xvfb did not start"
    export DISPLAY=:$(head -n1 "$E2E_TMP/display")
    e2e_poll 15 xset q >/dev/null 2>&1 || e2e_fail "display $DISPLAY does not answer"
    setxkbmap -model jp106 -layout jp || e2e_fail "setxkbmap"
    e2e_keymap_add "${E2E_TYPED_TEXT:-}"
    xset r off
    # E2E_OPENBOX_RC: another configuration file for openbox (its key bindings, say).
    openbox --sm-disable ${E2E_OPENBOX_RC:+--config-file "$E2E_OPENBOX_RC"} >"$E2E_TMP/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_poll 15 bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
        e2e_fail "openbox did not start: $(cat "$E2E_TMP/openbox.log")"
    export QT_QPA_PLATFORM=xcb
    unset QT_IM_MODULE
    export LC_ALL=C.UTF-8
    # A private runtime folder: whatever the program spawns (a speech daemon) lives there and
    # ends with the test.
    export XDG_RUNTIME_DIR=$E2E_TMP/runtime
    install -d -m 700 "$XDG_RUNTIME_DIR"
}

# Starts the program and waits for the entrance window.
e2e_start_app() {
    (cd "$E2E_TMP" && exec "$E2E_APP" "$@") >"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
    e2e_wait_window 'とことこいりぐち'
}

# Waits until the program shows a window with exactly this title; sets WIN and gives it the
# keyboard focus (e2e_focus). (--all: without it xdotool takes any window of the program,
# whatever its title.)
e2e_wait_window() {
    local title=$1 seconds=${2:-15}
    WIN=$(timeout "$seconds" xdotool search --sync --all --onlyvisible --pid "$APP_PID" --name "^${title}\$" 2>/dev/null | head -n1)
    [[ -n $WIN ]] || e2e_fail "no window titled '$title'"
    e2e_focus
}

# Activates the window WIN and waits until the keyboard focus is in it: a key sent before
# would go to another window or to none.
e2e_focus() {
    # Without a window manager there is no activation: the focus is set directly.
    xdotool windowactivate "$WIN" 2>/dev/null || xdotool windowfocus "$WIN" 2>/dev/null
    e2e_poll 15 bash -c 'focus=$(xdotool getwindowfocus 2>/dev/null); [[ $focus == "$1" ]] ||
        xwininfo -children -id "$1" 2>/dev/null | grep -q "^ *$focus "' _ "$WIN" ||
        e2e_fail "window $WIN never got the keyboard focus"
}

# Opens a menu of the focused window with its Alt chord (say alt+41), waits until the menu is
# shown, then presses the keys that choose an item.
e2e_menu() {
    local chord=$1 before
    shift
    before=$(xdotool search --all --onlyvisible --pid "$APP_PID" --name '' 2>/dev/null | wc -l)
    e2e_key "$chord"
    e2e_poll 5 bash -c '(($(xdotool search --all --onlyvisible --pid "$1" --name "" 2>/dev/null | wc -l) > $2))' \
        _ "$APP_PID" "$before" || e2e_fail "the menu of $chord did not open"
    e2e_key "$@"
}

# How many visible windows of the program carry exactly this title.
e2e_count_windows() {
    xdotool search --all --onlyvisible --pid "$APP_PID" --name "^$1\$" 2>/dev/null | wc -l
}

# Opens a file through the focused window's Open-file dialog: Ctrl+O, the path typed into the
# file-name box, Enter; returns once the dialog is gone. A "/" typed there makes the file-name
# completer pop up, and a key typed while it does can be lost on a busy machine: the dialog
# then says the file is not found, and the message is dismissed and the path typed again.
e2e_open_file() {
    local path=$1 attempt
    e2e_key ctrl+32
    e2e_wait_window '開く'
    for attempt in 1 2 3; do
        e2e_focus
        e2e_key ctrl+38 # select what the file-name box holds, so that typing replaces it
        xdotool type --delay 30 "$path" || e2e_fail "xdotool type $path"
        e2e_key 36
        if e2e_poll 5 bash -c '! xdotool search --all --onlyvisible --pid "$1" --name "^開く\$" >/dev/null 2>&1' _ "$APP_PID"; then
            e2e_log "opened $path"
            return 0
        fi
        e2e_log "the dialog did not take $path (attempt $attempt); typing it again"
        if (($(e2e_count_windows '開く') > 1)); then
            e2e_key 36 # the message's OK
            e2e_poll 5 bash -c '(($(xdotool search --all --onlyvisible --pid "$1" --name "^開く\$" 2>/dev/null | wc -l) == 1))' _ "$APP_PID" ||
                e2e_fail "the dialog's message did not close"
        fi
    done
    e2e_fail "the Open-file dialog never took $path"
}

# Sends X keycodes (or keysym names, or chords such as shift+13), one after the other.
e2e_key() {
    local key
    for key in "$@"; do
        # Single digits would be read as keysyms; keycode 9 is Escape.
        [[ $key == 9 ]] && key=Escape
        xdotool key --delay 40 "$key" || e2e_fail "xdotool key $key"
    done
}

e2e_clip() {
    timeout 5 xclip -selection clipboard -o 2>/dev/null
}

# Waits until the clipboard holds exactly the bytes of the printf format `expected`.
e2e_wait_clip() {
    local expected=$1 seconds=${2:-5}
    printf "$expected" >"$E2E_TMP/expected"
    if ! e2e_poll "$seconds" bash -c 'cmp -s "$1" <(timeout 5 xclip -selection clipboard -o 2>/dev/null)' _ "$E2E_TMP/expected"; then
        e2e_log "expected: $(od -An -c "$E2E_TMP/expected" | tr -s ' ')"
        e2e_log "clipboard: $(e2e_clip | od -An -c | tr -s ' ')"
        e2e_fail "clipboard mismatch"
    fi
    e2e_log "clipboard ok: $expected"
}

# Waits for the program to end within `seconds`; fails unless its status is `status`.
e2e_wait_exit() {
    local seconds=$1 status=${2:-0}
    e2e_poll "$seconds" bash -c '! kill -0 "$1" 2>/dev/null' _ "$APP_PID" ||
        e2e_fail "program still running after ${seconds}s"
    wait "$APP_PID"
    local rc=$?
    APP_PID=
    ((rc == status)) || e2e_fail "program ended with status $rc, expected $status"
}

e2e_pass() {
    e2e_log "PASS"
    exit 0
}
