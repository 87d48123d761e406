#!/usr/bin/env bash
# labels: wayland
# The real binary under a headless Wayland compositor (sway with its headless backend and the
# JIS keymap; weston has no virtual-keyboard protocol to type through) and
# QT_QPA_PLATFORM=wayland: the entrance shows, named by its desktop id and filling the
# output, puts entry 1 on the Wayland clipboard although it had no keyboard focus at that
# moment (with the first key), keys typed through a virtual keyboard move the highlight, a digit
# opens the key guide, and its large type is on the screen.
source "$(dirname "$0")/lib.sh" "$@"
e2e_require sway swaymsg wtype wl-paste
readonly APP_ID=org.tokotoko.Tokotoko
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
    e2e_fail "Qt's Wayland platform plugin is missing (package qt6-wayland)"

# sway refuses to run as root: as root, run it as nobody in a runtime folder of its own.
compositor_user=()
rt=$E2E_TMP/compositor
mkdir -p "$rt" "$E2E_TMP/app-runtime"
chmod 700 "$rt" "$E2E_TMP/app-runtime"
if ((EUID == 0)); then
    e2e_require runuser
    chmod 711 "$E2E_TMP"
    chown nobody "$rt"
    compositor_user=(runuser -u nobody --)
fi
cat >"$rt/sway.config" <<'EOF'
output HEADLESS-1 resolution 1280x800
input * xkb_model jp106
input * xkb_layout jp
EOF

"${compositor_user[@]}" env -i PATH="$PATH" HOME="$rt" XDG_RUNTIME_DIR="$rt" \
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway --config "$rt/sway.config" >"$E2E_TMP/sway.log" 2>&1 &
E2E_PIDS+=($!)
e2e_poll 15 bash -c 'compgen -G "$1/wayland-*.lock" >/dev/null && compgen -G "$1/sway-ipc.*.sock" >/dev/null' _ "$rt" ||
    { cat "$E2E_TMP/sway.log" >&2; e2e_fail "sway did not start"; }
socket=$(compgen -G "$rt/wayland-*.lock" | head -n1)
export WAYLAND_DISPLAY=${socket%.lock}
export SWAYSOCK=$(compgen -G "$rt/sway-ipc.*.sock" | head -n1)
export XDG_RUNTIME_DIR=$E2E_TMP/app-runtime
export QT_QPA_PLATFORM=wayland LC_ALL=C.UTF-8
unset DISPLAY QT_IM_MODULE
e2e_log "sway is up at $WAYLAND_DISPLAY"

# A seat's keyboard that stays for the whole test, as a real one does: each wtype call below
# brings its own virtual keyboard, and sway would otherwise announce a keyboard to the program
# only with that call's first key, which then reaches no one.
wtype -s 600000 -k F24 >/dev/null 2>&1 &
E2E_PIDS+=($!)

wl_clip() { timeout 5 wl-paste --no-newline 2>/dev/null; }
wait_wl_clip() {
    local expected=$1
    printf "$expected" >"$E2E_TMP/expected"
    if ! e2e_poll 5 bash -c 'cmp -s "$1" <(timeout 5 wl-paste --no-newline 2>/dev/null)' _ "$E2E_TMP/expected"; then
        e2e_log "expected: $(od -An -c "$E2E_TMP/expected" | tr -s ' ')"
        e2e_log "clipboard: $(wl_clip | od -An -c | tr -s ' ')"
        e2e_fail "clipboard mismatch"
    fi
    e2e_log "clipboard ok: $expected"
}
windows_of_app() { swaymsg -t get_tree | grep -c "\"pid\": $APP_PID,"; }
has_two_windows() { (($(windows_of_app) >= 2)); }

# The content rectangle "x y width height" sway gives the window with this desktop id.
window_rect() {
    swaymsg -t get_tree | awk -v id="\"app_id\": \"$APP_ID\"" '
        /"rect": \{/ { inrect = 1; next }
        /"(deco_rect|window_rect|geometry)": \{/ { inrect = 0 }
        inrect && /"(x|y|width|height)":/ { gsub(/[",]/, ""); r[$1] = $2 }
        /\}/ { inrect = 0 }
        index($0, id) { print r["x:"], r["y:"], r["width:"], r["height:"]; exit }'
}

(cd "$E2E_TMP" && exec "$E2E_APP") >"$E2E_TMP/app.log" 2>&1 &
APP_PID=$!
e2e_poll 15 swaymsg "[app_id=\"^$APP_ID\$\" title=\"^とことこいりぐち\$\"] focus" >/dev/null 2>&1 ||
    e2e_fail "no window titled とことこいりぐち with the app id $APP_ID"
e2e_log "the entrance is shown"

# Full screen: sway tiles the window over the whole output, below its own title bar.
read -r x y width height <<<"$(window_rect)"
e2e_log "window content at ($x,$y), ${width}x${height}"
((x == 0 && width == 1280 && y + height == 800 && height >= 700)) ||
    e2e_fail "the entrance does not fill the output"

# Entry 1's text was set at start-up, before the program had an input serial to set it with:
# the first key, here one that changes nothing else, brings it.
[[ -z $(wl_clip) ]] || e2e_log "the compositor took the clipboard without an input serial"
wtype -k Shift_L
wait_wl_clip '１\r\n押せばわかる'
wtype -k Down
wait_wl_clip '２\r\nどの指使うの'
wtype -k Up
wtype -k Up
wait_wl_clip '８\r\n応用英語入力２'
wtype -k Down
wait_wl_clip '１\r\n押せばわかる'

wtype 1
e2e_poll 10 has_two_windows || e2e_fail "the digit 1 opened no window"
e2e_log "the digit 1 opened a window"

# The key guide's large type is drawn: a key's name and reading, from a screenshot of the
# focused window (menu bar included) by the compositor.
focused_rect() {
    swaymsg -t get_tree | /usr/bin/python3 -c 'import json, sys
def walk(node):
    if node.get("focused"):
        r, w = node["rect"], node["window_rect"]  # the container, the content within it
        print("%d,%d %dx%d" % (r["x"] + w["x"], r["y"] + w["y"], w["width"], w["height"]))
        sys.exit(0)
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))'
}
e2e_require grim
wtype a
checks=('lblKey=ａ' 'lblYomi=Ａ' 'Label2=Alt＋F4で終了')
shot_checked() {
    local rect
    rect=$(focused_rect) && grim -g "$rect" "$E2E_TMP/keyguide.png" 2>/dev/null &&
        /usr/bin/python3 "$(dirname "$0")/screen_check.py" "$E2E_TMP/keyguide.png" frmKeyGuide \
            --outer 1280 "${checks[@]}" >"$E2E_TMP/verdict" 2>&1
}
e2e_poll 10 shot_checked || { cat "$E2E_TMP/verdict" >&2; e2e_fail "the key guide's type is not drawn"; }
sed 's/^/    /' "$E2E_TMP/verdict" >&2
wtype -k Escape -M alt -k F4 -m alt
e2e_pass
