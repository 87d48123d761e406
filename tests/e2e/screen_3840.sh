#!/usr/bin/env bash
# Every window and state of the real program on a 3840×2160 screen at a device pixel ratio of 2,
# checked from screenshots (lib-screen.sh); then the text cursor during a composition of the
# real input method (run as a test user: needs root), and with blinking turned off.
# labels: e2e screen ime
# timeout: 420
source "$(dirname "$0")/lib-screen.sh" "$@"
screen_tour 3840 2160 2
screen_composition
screen_steady_cursor
screen_pass
