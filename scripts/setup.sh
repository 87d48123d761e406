#!/usr/bin/env bash
# Installs what is missing on Debian 12, builds とことこ, and then runs it or tests it.
#
#   bash scripts/setup.sh run      # build (Release) and start the tutor on this display
#   bash scripts/setup.sh test     # build and run every test (CTest), sanitizer build included
#   bash scripts/setup.sh build    # only install and build
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
)

install_missing() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    ((${#missing[@]})) || return 0
    local sudo=()
    ((EUID == 0)) || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

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
*)
    echo "usage: $0 run|test|build" >&2
    exit 2
    ;;
esac
