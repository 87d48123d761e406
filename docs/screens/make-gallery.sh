#!/usr/bin/env bash
# Takes the pictures of docs/screens/ from the real program: the screenshot tests' tour of every
# window at 1920×1080 (tests/e2e/lib-screen.sh, each picture checked before it is kept), then a
# few of them made small for the README.
#
#   bash docs/screens/make-gallery.sh [path/to/tokotoko]    # default: build/tokotoko
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
app=$(readlink -f "${1:-$root/build/tokotoko}")
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT

# The tour alone: the screenshot test's input-method part needs root, and keeps no picture.
SCREEN_KEEP=$shots bash -c 'source "$1/tests/e2e/lib-screen.sh" "$2" && screen_tour 1920 1080 1 &&
    e2e_pass' _ "$root" "$app"

# name in the gallery <- screenshot of the tour
pictures=(
    entrance:entrance
    keyguide:keyguide-kana
    fingers:fingers
    alphabet-game:frmYubiren2
    japanese-lines:frmJapanese_1
    english-lines:frmEnglish_1
    japanese-timed:frmJapanese
    timed-end:frmJapanese-end
)
for picture in "${pictures[@]}"; do
    convert "$shots/${picture#*:}.png" -resize 640x -strip PNG8:"$here/${picture%%:*}.png"
done
echo "pictures written to $here"
