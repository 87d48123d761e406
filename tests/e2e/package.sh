#!/usr/bin/env bash
# labels: desktop package
# timeout: 600
# The Debian package, as a learner gets it: built with CPack from this build tree, installed
# with apt, started the way the menu entry starts it, checked, and removed without a trace.
# Needs root (or password-less sudo); changes the machine only while it runs, and puts it
# back even when a check fails. A run that was killed is undone by the next one.
source "$(dirname "$0")/lib.sh" "$@"
e2e_require cpack dpkg-deb apt-get desktop-file-validate appstreamcli identify readelf ldd
readonly APP_ID=org.tokotoko.Tokotoko
readonly BUILD_DIR=$(dirname "$E2E_APP") # the executable is written to the top of the build tree
readonly STATE=/var/tmp/tokotoko-package-test.packages
readonly SOURCE_DIR=${TOKOTOKO_SOURCE_DIR:?}

SUDO=()
if ((EUID != 0)); then
    if sudo -n true 2>/dev/null; then
        SUDO=(sudo -n)
    else
        e2e_skip "installing a package needs root or password-less sudo"
    fi
fi
as_root() { DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" "$@"; }

installed_packages() { dpkg-query -W -f '${db:Status-Abbrev} ${Package}\n' | awk '$1 ~ /^.i/ {print $2}' | sort; }
is_installed() { installed_packages | grep -qx tokotoko; }

# Purges tokotoko and whatever apt brought in with it, as listed against $STATE.
restore_machine() {
    [[ -f $STATE ]] || return 0
    is_installed && as_root apt-get purge -y -qq tokotoko >/dev/null 2>&1
    local added
    added=$(comm -13 "$STATE" <(installed_packages))
    if [[ -n $added ]]; then
        e2e_log "removing what the package brought in: $(echo $added)"
        # shellcheck disable=SC2086
        as_root apt-get purge -y -qq $added >/dev/null 2>&1
    fi
    as_root rm -f "$STATE"
}

finish() {
    restore_machine
    e2e_cleanup
}
trap finish EXIT

if [[ -f $STATE ]]; then
    e2e_log "an earlier run did not finish: undoing it first"
    restore_machine
fi
if is_installed; then
    e2e_skip "tokotoko is installed on this machine; this test would replace it"
fi
[[ -f $BUILD_DIR/CPackConfig.cmake ]] || e2e_fail "no CPackConfig.cmake beside $E2E_APP"

# Build the package from the installed rules of this tree (cpack installs, it does not compile).
e2e_log "building the package"
mkdir -p "$E2E_TMP/deb"
chmod 755 "$E2E_TMP" "$E2E_TMP/deb" # apt's download user reads the file
(cd "$E2E_TMP/deb" && cpack -G DEB --config "$BUILD_DIR/CPackConfig.cmake" -B "$E2E_TMP/deb") \
    >"$E2E_TMP/cpack.log" 2>&1 || { cat "$E2E_TMP/cpack.log" >&2; e2e_fail "cpack"; }
deb=$(ls "$E2E_TMP"/deb/tokotoko_*.deb 2>/dev/null | head -n1)
[[ -n $deb ]] || e2e_fail "cpack made no .deb"
e2e_log "built $(basename "$deb")"
[[ $(dpkg-deb -f "$deb" Package) == tokotoko ]] || e2e_fail "package name"
depends=$(dpkg-deb -f "$deb" Depends)

# Everything the program only loads at run time must be a dependency.
has_dependency() { tr ',|' '\n\n' <<<"$depends" | sed 's/(.*)//; s/ //g' | grep -qx "$1"; }
for runtime in qt6-speech-speechd-plugin speech-dispatcher speech-dispatcher-espeak-ng espeak-ng \
    fonts-ipafont libqt6multimedia6; do
    has_dependency "$runtime" || e2e_fail "Depends lacks $runtime: $depends"
done

installed_packages | as_root tee "$STATE" >/dev/null
e2e_log "installing with apt"
as_root apt-get install -y -qq "$deb" >"$E2E_TMP/apt.log" 2>&1 ||
    { cat "$E2E_TMP/apt.log" >&2; e2e_fail "apt-get install"; }
is_installed || e2e_fail "tokotoko is not installed after apt-get install"
files=$(dpkg -L tokotoko)

# Every library the installed executable links comes from a package it depends on, and so
# do Qt's X11 platform plugin and the speech plugin.
# The package that owns a file; dpkg knows some libraries by their pre-/usr-merge path.
owner() {
    local path candidates
    path=$(readlink -f "$1")
    candidates=("$1" "$path" "${path#/usr}")
    for path in "${candidates[@]}"; do
        dpkg -S "$path" 2>/dev/null | head -n1 | cut -d: -f1 | grep . && return 0
    done
    return 1
}
for library in $(readelf -d /usr/bin/tokotoko | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p'); do
    path=$(ldd /usr/bin/tokotoko | awk -v l="$library" '$1 == l {print $3}')
    [[ -n $path ]] || e2e_fail "$library is not found"
    package=$(owner "$path")
    has_dependency "$package" || e2e_fail "$library comes from $package, which is not a dependency"
done
for plugin in platforms/libqxcb.so texttospeech/libqtexttospeech_speechd.so; do
    path=$(ls /usr/lib/*/qt6/plugins/$plugin 2>/dev/null | head -n1)
    [[ -n $path ]] || e2e_fail "the Qt plugin $plugin is not installed"
    has_dependency "$(owner "$path")" || e2e_fail "the package of $plugin is not a dependency"
done

# The data where the program looks for it: beside the executable, then ../share/tokotoko.
for cue in ding.wav boo.wav zannen.wav; do
    [[ -f /usr/bin/../share/tokotoko/$cue ]] || e2e_fail "$cue is not installed"
done
texts=$(find "$SOURCE_DIR/assets/texts" -maxdepth 1 -name '*.txt' 2>/dev/null | wc -l)
installed_texts=$(grep -c '^/usr/share/tokotoko/texts/.*\.txt$' <<<"$files")
((installed_texts == texts)) || e2e_fail "$installed_texts practice texts installed, $texts bundled"

# The menu entry and its icon where desktops look for them, and the software-centre data.
desktop=/usr/share/applications/$APP_ID.desktop
[[ -f $desktop ]] || e2e_fail "no desktop entry at $desktop"
desktop-file-validate "$desktop" || e2e_fail "desktop-file-validate"
grep -qx 'Name\[ja\]=とことこ' "$desktop" || e2e_fail "no Japanese name"
grep -qx 'Categories=Education;.*' "$desktop" || e2e_fail "not in the Education menu"
[[ $(sed -n 's/^Icon=//p' "$desktop") == "$APP_ID" ]] || e2e_fail "the icon is not named $APP_ID"
[[ -f /usr/share/icons/hicolor/scalable/apps/$APP_ID.svg ]] || e2e_fail "no scalable icon"
for size in 16 24 32 48 64 128 256; do
    icon=/usr/share/icons/hicolor/${size}x${size}/apps/$APP_ID.png
    [[ $(identify -format '%wx%h' "$icon" 2>/dev/null) == "${size}x${size}" ]] ||
        e2e_fail "no ${size}x${size} icon at $icon"
done
appstreamcli validate --no-net "/usr/share/metainfo/$APP_ID.metainfo.xml" >"$E2E_TMP/as.log" 2>&1 ||
    { cat "$E2E_TMP/as.log" >&2; e2e_fail "appstreamcli validate"; }

# Start it as the menu does: the Exec line, in /usr/bin on the PATH, from some other folder.
command=$(sed -n 's/^Exec=//p' "$desktop")
E2E_APP=/usr/bin/$command
grep -qx "$E2E_APP" <<<"$files" || e2e_fail "Exec=$command is not the packaged /usr/bin/tokotoko"
e2e_start_display
e2e_start_app
# X11 desktops match the window to its menu entry (and icon) by the window's class.
wm_class=$(xprop -id "$WIN" WM_CLASS | sed -n 's/.*, "\(.*\)"$/\1/p')
[[ -n $wm_class && $wm_class == "$(sed -n 's/^StartupWMClass=//p' "$desktop")" ]] ||
    e2e_fail "the window's class '$wm_class' is not the entry's StartupWMClass"
e2e_wait_clip '１\r\n押せばわかる'
e2e_key 116 # Down
e2e_wait_clip '２\r\nどの指使うの'

# The installed program finds its bundled texts in /usr/share/tokotoko: the Japanese line
# practice's Open-file dialog starts among them, so the bare file name opens the text.
if [[ -f $BUILD_DIR/src/lines/libtokotoko_lines.a ]]; then
    e2e_require iconv
    entrance=$WIN
    e2e_key 14 # the digit 5
    e2e_wait_window '応用日本語入力　１'
    practice=$WIN
    e2e_key ctrl+32 # Ctrl+O
    e2e_wait_window '開く' 10
    xdotool type --delay 20 japanese.txt || e2e_fail "typing the file name"
    e2e_key 36 # Return
    e2e_poll 10 bash -c '! xdotool search --all --onlyvisible --pid "$1" --name "^開く\$" >/dev/null' \
        _ "$APP_PID" || e2e_fail "the Open-file dialog did not open japanese.txt from the installed texts"
    WIN=$practice
    e2e_focus
    first_line=$(iconv -f CP932 -t UTF-8 /usr/share/tokotoko/texts/japanese.txt | head -n1 | tr -d '\r')
    e2e_key 36 # the starting Enter shows the first line
    e2e_wait_clip "${first_line//%/%%}"
    WIN=$entrance
    e2e_focus
fi
e2e_key Escape
e2e_wait_exit 2 0

e2e_log "removing with apt"
as_root apt-get purge -y -qq tokotoko >"$E2E_TMP/apt.log" 2>&1 ||
    { cat "$E2E_TMP/apt.log" >&2; e2e_fail "apt-get purge"; }
! is_installed || e2e_fail "tokotoko is still installed"
while read -r path; do
    # Folders such as /usr/share/icons/hicolor/16x16/apps belong to other packages too.
    [[ -d $path ]] && ! [[ $path == /usr/share/tokotoko* ]] && continue
    [[ -e $path ]] && e2e_fail "$path is left behind"
done <<<"$files"
added=$(comm -13 "$STATE" <(installed_packages))
[[ -z $added ]] || e2e_log "apt brought in (removed now): $(echo $added)"
e2e_pass
