# shellcheck shell=bash
# Sourced by setup.sh: Open JTalk as speech-dispatcher's Japanese voice, and Debian's contrib
# component that holds the voice itself. Needs setup.sh's as_root and apt_update.

# The voice the module speaks with, as the package hts-voice-nitech-jp-atr503-m001 installs it.
JTALK_VOICE_DIR=/usr/share/hts-voice/nitech-jp-atr503-m001
JTALK_DICTIONARY=/var/lib/mecab/dic/open-jtalk/naist-jdic
JTALK_MODULE=openjtalk-generic
JTALK_BEGIN="# begin: Open JTalk reads Japanese (written by とことこ's setup.sh voice)"
JTALK_END="# end: Open JTalk reads Japanese"

# Prints a sources file with contrib added to every entry of Debian's own archive for this
# release (main without contrib); other archives are left as they are. Fails when there was
# nothing to add. $1: deb822 or one-line, $2: the release's code name.
contrib_added() {
    awk -v format="$1" -v codename="$2" '
        function has(list, word,   parts, n, i) {
            n = split(list, parts, /[[:space:]]+/)
            for (i = 1; i <= n; i++) if (parts[i] == word) return 1
            return 0
        }
        function this_release(suites,   parts, n, i) {
            n = split(suites, parts, /[[:space:]]+/)
            for (i = 1; i <= n; i++)
                if (parts[i] != "" && parts[i] != codename && index(parts[i], codename "-") != 1)
                    return 0
            return suites ~ /[^[:space:]]/
        }
        function needs_contrib(uris, suites, components) {
            return uris ~ /debian/ && this_release(suites) && has(components, "main") &&
                !has(components, "contrib")
        }
        function flush(   i) {
            if (has(types, "deb") && tolower(enabled) != "no" && components_line &&
                needs_contrib(uris, suites, components))
                { lines[components_line] = lines[components_line] " contrib"; changed = 1 }
            for (i = 1; i <= n; i++) print lines[i]
            n = 0; components_line = 0; types = uris = suites = components = enabled = ""
        }
        format == "deb822" && /^[[:space:]]*$/ { flush(); print; next }
        format == "deb822" {
            lines[++n] = $0
            if (match($0, /^[A-Za-z-]+:/)) {
                key = tolower(substr($0, 1, RLENGTH - 1)); value = substr($0, RLENGTH + 1)
                if (key == "types") types = value
                else if (key == "uris") uris = value
                else if (key == "suites") suites = value
                else if (key == "enabled") { enabled = value; gsub(/[[:space:]]/, "", enabled) }
                else if (key == "components") { components = value; components_line = n }
            }
            next
        }
        /^[[:space:]]*deb[[:space:]]/ {
            n = split($0, field, /[[:space:]]+/)
            i = field[1] == "" ? 3 : 2
            if (field[i] ~ /^\[/) { while (field[i] !~ /\]$/ && i < n) i++; i++ }
            rest = ""
            for (j = i + 2; j <= n; j++) rest = rest " " field[j]
            if (needs_contrib(field[i], field[i + 1], rest)) { print $0 " contrib"; changed = 1; next }
        }
        { print }
        END { if (format == "deb822") flush(); exit !changed }
    '
}

explain_contrib() {
    cat <<'EOF'
The Japanese voice hts-voice-nitech-jp-atr503-m001 is in Debian's contrib component, which
the package sources of this machine do not enable. To add contrib after main in the Debian
entries of /etc/apt/sources.list.d/*.sources or /etc/apt/sources.list, run
    bash scripts/setup.sh contrib      (or: bash scripts/setup.sh voice --enable-contrib)
or add it there yourself (a line "Components: main contrib", or
"deb http://deb.debian.org/debian bookworm main contrib") and run: sudo apt-get update
EOF
}

# Adds Debian's contrib component to the configured archive, file by file, and reads the
# package lists again. Touches nothing when contrib is there already.
enable_contrib() {
    local codename list parts file format edited changed=()
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    [[ -n $codename ]] || { echo "No release code name in /etc/os-release." >&2; return 1; }
    edited=$(mktemp)
    eval "$(apt-config shell list Dir::Etc::sourcelist/f parts Dir::Etc::sourceparts/d)"
    for file in "$list" "$parts"*.list "$parts"*.sources; do
        [[ -f $file ]] || continue
        format=one-line
        [[ $file == *.sources ]] && format=deb822
        contrib_added "$format" "$codename" <"$file" >"$edited" || continue
        as_root cp "$edited" "$file"
        changed+=("$file")
    done
    rm -f "$edited"
    if ((${#changed[@]} == 0)); then
        echo "Debian's contrib component: nothing to add in $list or $parts."
        return 0
    fi
    echo "Added the contrib component to: ${changed[*]}"
    echo "(To undo: remove the word contrib that was added there, then: sudo apt-get update.)"
    apt_update force
}

# speech-dispatcher's folder in the learner's own configuration.
speechd_config_dir() {
    echo "${XDG_CONFIG_HOME:-$HOME/.config}/speech-dispatcher"
}

# The module configuration: Open JTalk through the generic module. open_jtalk reads only the
# first line of at most 1,023 bytes, so lines are joined and chunks kept below that; it writes
# its WAV to the pipe, never to a file that a stopped utterance would leave behind. Rate,
# pitch and volume (-100 to 100) become a speed of 0.25 to 1.75, ±5 half-tones and ±10 dB
# (the voice peaks near -11 dB).
jtalk_module_config() {
    cat <<EOF
# Open JTalk, a Japanese voice that reads kanji, through speech-dispatcher's generic module.
# Written by とことこ's setup.sh voice; bash scripts/setup.sh voice-off removes it.
GenericExecuteSynth \\
"printf %s \\'\$DATA\\' | tr '\\\\n' ' ' | open_jtalk -x $JTALK_DICTIONARY -m $JTALK_VOICE_DIR/\$VOICE.htsvoice -r \$RATE -fm \$PITCH -g \$VOLUME -ow /dev/stdout | \$PLAY_COMMAND"
GenericCmdDependency "open_jtalk"
GenericLanguage "ja" "ja" "utf-8"
GenericDefaultCharset "utf-8"
GenericMaxChunkLength 1000
GenericRateAdd 1
GenericRateMultiply 0.0075
GenericPitchMultiply 0.05
GenericVolumeMultiply 0.1
VoiceFileDependency "$JTALK_VOICE_DIR/\$VOICE.htsvoice"
AddVoice "ja" "MALE1" "nitech_jp_atr503_m001"
DefaultVoice "nitech_jp_atr503_m001"
EOF
}

JTALK_SYSTEM_CONFIG=/etc/speech-dispatcher/speechd.conf

# Prints speechd.conf ($1, which may be absent) without the lines that speechd_conf_with_jtalk added.
learner_settings() {
    [[ -f $1 ]] || return 0
    awk -v begin="$JTALK_BEGIN" -v end="$JTALK_END" '
        $0 == begin { inside = 1 } !inside { print } $0 == end { inside = 0 }' "$1"
}

# Prints speechd.conf ($1) with Open JTalk as the module for Japanese, after the learner's own
# settings. With none, the system's configuration is included, so that everything else stays
# as the system has it and follows its updates. speech-dispatcher finds the module by itself
# (it looks for *-generic.conf files), unless the configuration names its modules.
speechd_conf_with_jtalk() {
    local own
    own=$(learner_settings "$1")
    [[ -z ${own//[[:space:]]/} ]] && own=
    [[ -n $own ]] && printf '%s\n' "$own"
    echo "$JTALK_BEGIN"
    [[ -z $own ]] && echo "Include \"$JTALK_SYSTEM_CONFIG\""
    if grep -Eqi '^[[:space:]]*AddModule[[:space:]]' <<<"${own:-$(cat "$JTALK_SYSTEM_CONFIG" 2>/dev/null)}"; then
        echo "AddModule \"$JTALK_MODULE\" \"sd_generic\" \"$JTALK_MODULE.conf\""
    fi
    echo "LanguageDefaultModule \"ja\" \"$JTALK_MODULE\""
    echo "$JTALK_END"
}

# Writes $2 to the file $1 unless it holds exactly that already; says whether it did.
write_if_changed() {
    [[ -f $1 ]] && cmp -s "$1" <(printf '%s' "$2") && return 1
    mkdir -p "$(dirname "$1")"
    printf '%s' "$2" >"$1"
    echo "Wrote $1"
}

# Makes Open JTalk speech-dispatcher's voice for Japanese in the learner's configuration.
configure_japanese_voice() {
    local dir wrote=
    dir=$(speechd_config_dir)
    write_if_changed "$dir/modules/$JTALK_MODULE.conf" "$(jtalk_module_config)"$'\n' && wrote=1
    write_if_changed "$dir/speechd.conf" "$(speechd_conf_with_jtalk "$dir/speechd.conf")"$'\n' &&
        wrote=1
    if [[ -z $wrote ]]; then
        echo "Open JTalk is already the Japanese voice in $dir: nothing changed."
        return 0
    fi
    echo "Open JTalk now reads Japanese (spd-say -l ja いい天気ですね); espeak-ng the rest."
    echo "speech-dispatcher reads this when it starts: if it runs now (for a screen reader),"
    echo "log out and in again. Undo: bash scripts/setup.sh voice-off"
}

# Takes out what configure_japanese_voice wrote, leaving the learner's own settings.
remove_japanese_voice() {
    local dir own removed=
    dir=$(speechd_config_dir)
    if grep -qs "setup.sh voice" "$dir/modules/$JTALK_MODULE.conf"; then
        rm "$dir/modules/$JTALK_MODULE.conf" && echo "Removed $dir/modules/$JTALK_MODULE.conf"
        removed=1
    fi
    if grep -qsxF "$JTALK_BEGIN" "$dir/speechd.conf"; then
        own=$(learner_settings "$dir/speechd.conf")
        if [[ -z ${own//[[:space:]]/} ]]; then
            rm "$dir/speechd.conf" && echo "Removed $dir/speechd.conf"
        else
            printf '%s\n' "$own" >"$dir/speechd.conf" && echo "Restored $dir/speechd.conf"
        fi
        removed=1
    fi
    rmdir "$dir/modules" "$dir" 2>/dev/null || true
    [[ -n $removed ]] || echo "Open JTalk was not set up in $dir: nothing changed."
    return 0
}
