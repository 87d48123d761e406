#!/usr/bin/env bash
# Installs what is missing on Debian 12, builds とことこ, and then runs it or tests it.
#
#   bash scripts/setup.sh run      # build (Release) and start the tutor on this display
#   bash scripts/setup.sh test     # build and run every test (CTest), sanitizer build included
#   bash scripts/setup.sh build    # only install and build
#   bash scripts/setup.sh voice    # make Open JTalk speech-dispatcher's Japanese voice, for the
#                                  # account that runs it (not through sudo); --enable-contrib
#                                  # adds Debian's contrib component, which holds the voice
#   bash scripts/setup.sh voice-off  # undo that (the packages stay)
#   bash scripts/setup.sh contrib  # only add Debian's contrib component to the package sources
#
# Packages are installed with apt-get as root, or through sudo otherwise. Nothing is
# installed when everything is already there.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-run}
jobs=${TOKOTOKO_JOBS:-2}

build_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-multimedia-dev qt6-speech-dev qt6-declarative-dev
    zlib1g-dev kanjidic-xml
)
run_packages=(
    libqt6multimedia6 qt6-speech-speechd-plugin speech-dispatcher speech-dispatcher-espeak-ng
    espeak-ng fonts-ipafont
)
test_packages=(
    xvfb xdotool xclip x11-xkb-utils xkb-data x11-xserver-utils x11-utils openbox dbus-x11
    imagemagick fcitx5 fcitx5-mozc fcitx5-frontend-qt6 ibus ibus-mozc libglib2.0-bin dbus-bin
    pulseaudio pulseaudio-utils sox
    clang libclang-rt-14-dev clang-format
    dpkg-dev appstream desktop-file-utils qt6-wayland sway wtype wl-clipboard
    python3 python3-dbus python3-numpy python3-pil grim at-spi2-core procps orca python3-pyatspi
    open-jtalk open-jtalk-mecab-naist-jdic
)
# Open JTalk reads kanji, which espeak-ng cannot; its voice is in Debian's contrib component.
voice_packages=(speech-dispatcher speech-dispatcher-espeak-ng pulseaudio-utils open-jtalk
    open-jtalk-mecab-naist-jdic)
voice_contrib_package=hts-voice-nitech-jp-atr503-m001

# Runs a command as root: directly when root, through sudo otherwise.
as_root() {
    if ((EUID == 0)); then "$@"; else sudo "$@"; fi
}

# Reads the package lists, once per run (again with "force", after a source was added).
apt_updated=
apt_update() {
    [[ -z $apt_updated || ${1:-} == force ]] || return 0
    as_root apt-get update -qq
    apt_updated=1
}

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

install_missing() {
    local missing=() package
    for package in "$@"; do
        installed "$package" || missing+=("$package")
    done
    ((${#missing[@]})) || return 0
    echo "Installing: ${missing[*]}"
    apt_update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

# Whether a package is installed or the configured package archive offers it.
available() {
    installed "$1" && return 0
    apt_update
    local candidate
    candidate=$(apt-cache policy "$1" 2>/dev/null | awk '/Candidate:/ { print $2 }')
    [[ -n $candidate && $candidate != "(none)" ]]
}

source scripts/japanese-voice.sh

# Configures and builds the tree of one of CMakePresets.json's presets; further arguments go
# to the configuration.
configure_and_build() {
    local preset=$1
    shift
    cmake --preset "$preset" "$@"
    cmake --build --preset "$preset" -j "$jobs"
}

case $mode in
run)
    install_missing "${build_packages[@]}" "${run_packages[@]}"
    configure_and_build release
    exec build/tokotoko
    ;;
build)
    install_missing "${build_packages[@]}" "${run_packages[@]}"
    configure_and_build release
    ;;
test)
    install_missing "${build_packages[@]}" "${run_packages[@]}" "${test_packages[@]}"
    if available "$voice_contrib_package"; then
        install_missing "$voice_contrib_package"
    else
        explain_contrib
        echo "Without it the voice test fails where skipping is not allowed (TOKOTOKO_NO_SKIP=1)."
    fi
    configure_and_build release
    ctest --test-dir build -j "$jobs" --output-on-failure
    # The unit and window tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
    configure_and_build asan
    ctest --test-dir build-asan -j "$jobs" --output-on-failure -L 'unit|window'
    # Every exercise window opened and closed 1,000 times under LeakSanitizer.
    ctest --test-dir build-asan -j "$jobs" --output-on-failure -L leak
    # The libFuzzer targets, built with clang from only the sources they exercise; each runs
    # for a minute (TOKOTOKO_FUZZ_SECONDS) from the committed seeds.
    configure_and_build fuzz -DTOKOTOKO_FUZZ_SECONDS="${TOKOTOKO_FUZZ_SECONDS:-60}"
    ctest --test-dir build-fuzz -j "$jobs" --output-on-failure -L fuzz
    ;;
voice)
    if ((EUID == 0)) && [[ -n ${SUDO_USER:-} ]]; then
        echo "Run this as the learner, without sudo: it sets up the voice for the account that" >&2
        echo "runs it, and asks sudo itself for the packages." >&2
        exit 2
    fi
    case ${2:-} in
    --enable-contrib) enable_contrib ;;
    "") ;;
    *) echo "usage: $0 voice [--enable-contrib]" >&2 && exit 2 ;;
    esac
    if ! available "$voice_contrib_package"; then
        explain_contrib >&2
        echo "Nothing was installed or changed." >&2
        exit 1
    fi
    install_missing "${voice_packages[@]}" "$voice_contrib_package"
    configure_japanese_voice
    ;;
voice-off)
    remove_japanese_voice
    ;;
contrib)
    enable_contrib
    ;;
*)
    echo "usage: $0 run|test|build|voice [--enable-contrib]|voice-off|contrib" >&2
    exit 2
    ;;
esac
