#!/usr/bin/env bash
# A blind learner types Japanese through the real input method and hears it through real Orca:
# Orca, the input method (E2E_IME_FRAMEWORK: fcitx5 or ibus, with mozc) and the real program
# run as one unprivileged user in one session, the program with no accessibility variable in
# its environment. In the Japanese line practice, k a m i, Space, Space, Enter: Orca's own log
# must hold each composition mozc showed, each candidate it showed (read from its messages on
# its bus, not assumed) said with readings that make the two homophones sound different (their
# pronunciations compared by Open JTalk's text analysis), and the commit, once; the box then
# holds exactly the committed text. With the input method then off, a key is heard once, from
# Orca's own echo. Source after setting E2E_IME_FRAMEWORK and E2E_IME_USER.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh" "$@"
source "$(dirname "${BASH_SOURCE[0]}")/lib-audio.sh"
source "$(dirname "${BASH_SOURCE[0]}")/lib-orca.sh"
source "$(dirname "${BASH_SOURCE[0]}")/lib-ime.sh"
trap 'e2e_ime_stop; e2e_orca_stop; e2e_cleanup' EXIT

OPEN_JTALK_DIC=/var/lib/mecab/dic/open-jtalk/naist-jdic
OPEN_JTALK_VOICE=/usr/share/hts-voice/nitech-jp-atr503-m001/nitech_jp_atr503_m001.htsvoice

# How Open JTalk pronounces a text: the katakana pronunciation of each word of its analysis.
pronunciation() {
    printf '%s\n' "$1" >"$E2E_TMP/say.txt"
    open_jtalk -x "$OPEN_JTALK_DIC" -m "$OPEN_JTALK_VOICE" -ot "$E2E_TMP/say.trace" \
        -ow /dev/null "$E2E_TMP/say.txt" || e2e_fail "open_jtalk"
    sed -n '/^\[Text analysis result\]/,/^$/p' "$E2E_TMP/say.trace" | sed 1d |
        awk -F, 'NF > 9 { printf "%s", $10 }'
}

# Waits for Orca to say `said` (a regex) as the program's notification; prints Orca's line.
heard_after() {
    local said=$1
    orca_wait_said "^notification $said\.?\$"
}

orca_ime_scenario() {
    [[ -r $OPEN_JTALK_VOICE && -d $OPEN_JTALK_DIC ]] ||
        e2e_skip "no Open JTalk voice (hts-voice-nitech-jp-atr503-m001, Debian contrib)"
    e2e_start_display
    e2e_ime_start
    e2e_orca_start_ime
    orca_mark
    e2e_start_app_ime
    e2e_orca_wait_app
    orca_wait_said '^とことこいりぐち' 20 >/dev/null
    e2e_key 14 # the digit 5
    e2e_wait_window '応用日本語入力　１'
    orca_wait_said '^応用日本語入力' >/dev/null
    e2e_ime_wait_japanese
    e2e_ime_record_start
    orca_mark

    # Each composition, as mozc shows it.
    local key composition
    for key in k a m i; do
        e2e_ime_type "$key"
        e2e_ime_record_wait $'^preedit\t[^\t]+\t$' >/dev/null
        composition=$(cut -f2 <<<"$E2E_IME_RECORD_LINE")
        heard_after "$composition" >/dev/null
    done

    # Two candidates, homophones: said so that they sound different.
    local candidates=() spoken=() n
    for n in 1 2; do
        e2e_ime_type SPACE
        e2e_ime_record_wait $'^preedit\t[^\t]+\t[^\t]+$' >/dev/null
        candidates+=("$(cut -f3 <<<"$E2E_IME_RECORD_LINE")")
        spoken+=("$(heard_after "${candidates[-1]}、.+")") || exit 1
    done
    [[ ${candidates[0]} != "${candidates[1]}" ]] ||
        e2e_fail "mozc showed the same candidate twice: ${candidates[0]}"
    local alone=() said=()
    for n in 0 1; do
        alone+=("$(pronunciation "${candidates[n]}")")
        said+=("$(pronunciation "${spoken[n]#notification }")")
        e2e_log "${candidates[n]} (${alone[n]}) was said as ${said[n]}"
    done
    [[ ${alone[0]} == "${alone[1]}" ]] ||
        e2e_log "note: the candidates are not homophones (${alone[0]}, ${alone[1]})"
    [[ ${said[0]} != "${said[1]}" ]] || e2e_fail "the two candidates sounded the same: ${said[0]}"

    # The commit, said once; the box holds exactly what was committed.
    e2e_ime_type ENTER
    e2e_ime_record_wait $'^commit\t' >/dev/null
    local committed
    committed=$(cut -f2 <<<"$E2E_IME_RECORD_LINE")
    [[ $committed == "${candidates[1]}" ]] || e2e_fail "committed '$committed', not ${candidates[1]}"
    local mark=$E2E_ORCA_MARK
    heard_after "$committed" >/dev/null
    e2e_a11y_wait 入力 "$committed"
    E2E_ORCA_MARK=$mark
    (($(orca_said_since_mark | grep -c "^notification $committed\.\?\$") == 1)) ||
        e2e_fail "the commit was not said exactly once: $(orca_said_since_mark | tr '\n' '|')"

    # Input method off (半角/全角): the key reaches the box as a key press, which Orca echoes
    # itself; the box says nothing more of it.
    e2e_key 49
    orca_mark
    local direct=$E2E_ORCA_MARK
    e2e_ime_type x
    e2e_a11y_wait 入力 "${committed}x"
    orca_wait_said '^x ?$' >/dev/null
    e2e_key 31 # i: a second key, so that anything said of the first is in the log before it
    orca_wait_said '^i ?$' >/dev/null
    E2E_ORCA_MARK=$direct
    ! orca_said_since_mark | grep -q '^notification .*x' ||
        e2e_fail "a direct key was said twice: $(orca_said_since_mark | tr '\n' '|')"
    e2e_pass
}
