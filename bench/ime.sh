#!/usr/bin/env bash
# The Japanese line practice typed through the real input method (fcitx5 with mozc, as the
# tests run it: a test user, so root is needed), beside the same keys typed into a second copy
# of the program that has no input method, under Xvfb 1920×1080 with openbox:
#   - key-to-photon (photon latencies: X key press to the first damage of the window) of each
#     romaji key, which changes the composition, and of each Space, which converts it;
#   - CPU time per key of the program (and of fcitx5 and mozc_server) for the same keys;
# taken in turns, a block of each: "kyouha", Space, Enter, "iitenki", Space, Enter, "desune",
# Space, Enter, then the line rubbed out (Shift+Home, BackSpace). Without the input method the
# same keys type the letters and spaces themselves. A row is refused unless screenshots show
# the composition with its cursor and the converted line (or the plain letters).
#
#   bash bench/ime.sh [build/tokotoko] [blocks] > table.md
#   IME_PROFILE=bench/ime-profile.txt bash bench/ime.sh ...   # and where the time goes (perf)
#
# Needs the test packages of scripts/setup.sh and libx11-dev libxext-dev libxdamage-dev
# libxtst-dev (photon).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
app=${1:-$here/../build/tokotoko}
blocks=${2:-40}
source "$here/../tests/e2e/lib-screen.sh" "$app"
source "$here/lib-bench.sh"
E2E_IME_USER=tokotoko-bench-ime
source "$here/../tests/e2e/lib-ime.sh"

tools=$E2E_TMP/bench
mkdir -p "$tools"
cc -O2 "$here/photon.c" -o "$tools/photon" -lX11 -lXext -lXdamage -lXtst ||
    e2e_fail "cannot build photon (libx11-dev libxext-dev libxdamage-dev libxtst-dev)"

SCREEN_WIDTH=1920 SCREEN_RATIO=1
E2E_OPENBOX_RC=$(readlink -f "$here/../tests/e2e/openbox-rc.xml") e2e_start_display 1920 1080
screen_write_texts
e2e_ime_start
chmod 644 "$E2E_TMP"/*.txt

# Both copies run as the test user on its session bus, without the accessibility bridge that
# the tests turn on to read the controls; one has no input method at all.
e2e_ime_command
with_ime=() without_ime=()
for setting in "${E2E_IME_CMD[@]}"; do
    [[ $setting == QT_LINUX_ACCESSIBILITY_ALWAYS_ON=* ]] && continue
    with_ime+=("$setting")
    [[ $setting == QT_IM_MODULE=* || $setting == XMODIFIERS=* || $setting == GTK_IM_MODULE=* ]] ||
        without_ime+=("$setting")
done

# start_line_practice <command...>: starts a copy, opens the Japanese line practice with the
# two-line text and shows its first line; sets APP_PID and WIN.
start_line_practice() {
    (cd "$E2E_TMP" && exec "$@" "$E2E_APP") >>"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
    E2E_PIDS+=("$APP_PID")
    e2e_wait_window 'とことこいりぐち' 20
    e2e_key 14 # the digit 5
    e2e_wait_window '応用日本語入力　１'
    e2e_open_file "$E2E_TMP/japanese.txt"
    e2e_wait_window '応用日本語入力　１'
    e2e_key $KEY_RETURN
}

start_line_practice "${without_ime[@]}"
PLAIN_PID=$APP_PID PLAIN_WIN=$WIN
start_line_practice "${with_ime[@]}"
IME_PID=$APP_PID IME_WIN=$WIN
e2e_ime_wait_state 2 mozc
FCITX_PID=$(pgrep -u "$E2E_IME_USER" -x fcitx5 | head -n1)

# Keycodes of the romaji, from a to z.
declare -A CODE
letters=({a..z})
for ((i = 0; i < 26; i++)); do CODE[${letters[i]}]=${LETTERS[i]}; done
codes() {
    local word=$1 i
    for ((i = 0; i < ${#word}; i++)); do printf '%s ' "${CODE[${word:i:1}]}"; done
}
readonly WORDS=(kyouha iitenki desune)

# main_us <pid>: CPU time (µs) of the process's main thread.
main_us() { awk '{ printf "%d", $1 / 1000 }' /proc/"$1"/task/"$1"/schedstat 2>/dev/null; }

# thread_us <pid> <thread name>: CPU time (µs) of the process's threads of that name.
thread_us() {
    local task
    for task in /proc/"$1"/task/*; do
        [[ $(cat "$task/comm" 2>/dev/null) == "$2" ]] && cat "$task/schedstat" 2>/dev/null
    done | awk '{ s += $1 } END { printf "%d", s / 1000 }'
}

# spent <name> <command...>: runs the command, adding the CPU time (µs) it took the program
# (and, of that, its main thread and Qt's D-Bus thread), and fcitx5 and mozc_server, to the
# totals named <name>.
declare -A CPU
spent() {
    local name=$1 mozc_pid part
    shift
    mozc_pid=$(pgrep -u "$E2E_IME_USER" -x mozc_server | head -n1)
    declare -A before=([all]=$(cpu_us "$PID") [main]=$(main_us "$PID")
        [dbus]=$(thread_us "$PID" QDBusConnection)
        [ime]=$(($(cpu_us "$FCITX_PID") + $(cpu_us "${mozc_pid:-0}"))))
    "$@"
    declare -A after=([all]=$(cpu_us "$PID") [main]=$(main_us "$PID")
        [dbus]=$(thread_us "$PID" QDBusConnection)
        [ime]=$(($(cpu_us "$FCITX_PID") + $(cpu_us "${mozc_pid:-0}"))))
    for part in all main dbus ime; do
        CPU[$name-$part]=$((${CPU[$name-$part]:-0} + after[$part] - before[$part]))
    done
}

# block <copy> [count]: the words, each with Space and Enter, then the line rubbed out; key-to-
# photon to <copy>-letters.lat and <copy>-space.lat when counted.
block() {
    local copy=$1 counted=${2:-1} word keys
    if [[ $copy == ime ]]; then PID=$IME_PID WIN=$IME_WIN; else PID=$PLAIN_PID WIN=$PLAIN_WIN; fi
    e2e_focus
    for word in "${WORDS[@]}"; do
        keys=$(codes "$word")
        spent "$copy-letters" "$tools/photon" latencies "$WIN" ${#word} $keys \
            >>"$E2E_TMP/$copy-letters$counted.lat"
        ((counted)) && KEYS[$copy-letters]=$((${KEYS[$copy-letters]:-0} + ${#word}))
        [[ $copy == ime && $word == "${WORDS[-1]}" && ${PROVE:-} ]] &&
            SCREEN_KEEP_GOING=1 screen_frames bench-composing frmJapanese_1 'txtNyuryoku@=ですね' 2>>"$E2E_TMP/proofs.log"
        spent "$copy-space" "$tools/photon" latencies "$WIN" 1 $KEY_SPACE \
            >>"$E2E_TMP/$copy-space$counted.lat"
        ((counted)) && KEYS[$copy-space]=$((${KEYS[$copy-space]:-0} + 1))
        [[ $copy == ime ]] && e2e_key $KEY_RETURN
    done
}
rub_out() {
    e2e_key shift+110 $KEY_BACKSPACE # Shift+Home
}

declare -A KEYS
# One block of each not counted: mozc reads its dictionary on the first conversion.
block ime 0
rub_out
block plain 0
rub_out
CPU=()
# IME_PROFILE=<file>: a profile of the program through the input method (perf, call graphs
# from DWARF), taken over its first eight counted blocks, written to <file>.
[[ -n ${IME_PROFILE:-} ]] && {
    perf record --call-graph dwarf,16384 -F 500 -o "$E2E_TMP/perf.data" -p "$IME_PID" 2>/dev/null &
    PERF_PID=$!
}
for ((n = 1; n <= blocks; n++)); do
    [[ $n == "$blocks" ]] && PROVE=1
    if [[ -n ${PERF_PID:-} ]] && ((n == 9)); then
        kill -INT "$PERF_PID"
        wait "$PERF_PID"
        PERF_PID=
    fi
    block ime
    if ((n == blocks)); then
        ime_proof=$(proven ok bench-converted frmJapanese_1 'txtNyuryoku=今日はいい天気ですね')
        grep -q 'screen ok: bench-composing' "$E2E_TMP/proofs.log" || ime_proof=refused
    fi
    rub_out
    block plain
    ((n == blocks)) &&
        plain_proof=$(proven ok bench-plain frmJapanese_1 'txtNyuryoku=kyouha iitenki desune')
    rub_out
done
if [[ -n ${IME_PROFILE:-} ]]; then
    {
        echo "# bash bench/ime.sh with IME_PROFILE: the program typed into through the input method,"
        echo "# its first eight counted blocks; perf record --call-graph dwarf -F 500 -p <program>."
        echo "# CPU samples by thread:"
        perf report -i "$E2E_TMP/perf.data" --no-children --sort comm --stdio -g none 2>/dev/null |
            grep -v '^#' | grep -v '^$'
        echo "# The main thread (tokotoko), each function with what it calls, 1.5 % and more:"
        perf report -i "$E2E_TMP/perf.data" --children --comm tokotoko --sort sym --stdio \
            -g none --percent-limit 1.5 2>/dev/null | grep -v '^#' | grep -v '^$' | grep -v '\[k\]' |
            grep -v '\] 0x0000'
        echo "# Qt's D-Bus thread (QDBusConnection), the same way:"
        perf report -i "$E2E_TMP/perf.data" --children --comm QDBusConnection --sort dso --stdio \
            -g none --percent-limit 1.5 2>/dev/null | grep -v '^#' | grep -v '^$'
    } >"$IME_PROFILE"
fi
[[ $ime_proof == ok && $plain_proof == ok ]] ||
    e2e_log "a proof screenshot failed: $(cat "$E2E_TMP/proofs.log")"

per_key() { ms "${CPU[$1-$2]}" "${KEYS[$1]}"; }
row() {
    local name=$1 what=$2 proof=$3 median p99 missed
    read -r median p99 missed <<<"$(percentiles "$E2E_TMP/${name}1.lat")"
    [[ $proof == ok ]] || what+=' **(refused: the proof screenshot failed)**'
    printf '| %s | %s | %s ms | %s ms | %s | %s ms | %s / %s ms | %s ms |\n' "$what" \
        "${KEYS[$name]}" "$median" "$p99" "$missed" "$(per_key "$name" all)" \
        "$(per_key "$name" main)" "$(per_key "$name" dbus)" "$(per_key "$name" ime)"
}
cat <<TABLE
| Keys ($blocks blocks of each, in turns) | keys | key-to-photon median | 99th percentile | no damage within 1 s | CPU per key, program | of which main thread / Qt's D-Bus thread | CPU per key, fcitx5 and mozc_server |
|---|---|---|---|---|---|---|---|
$(row ime-letters 'romaji through the input method (the composition changes)' "$ime_proof")
$(row ime-space 'Space through the input method (the composition converted)' "$ime_proof")
$(row plain-letters 'the same letters without an input method' "$plain_proof")
$(row plain-space 'Space without an input method (a space typed)' "$plain_proof")

Program CPU per key through the input method ÷ without: letters $(ratio "$(per_key ime-letters all)" "$(per_key plain-letters all)"), Space $(ratio "$(per_key ime-space all)" "$(per_key plain-space all)"); main thread alone: letters $(ratio "$(per_key ime-letters main)" "$(per_key plain-letters main)"), Space $(ratio "$(per_key ime-space main)" "$(per_key plain-space main)").
TABLE
e2e_log "done"
