#!/usr/bin/env bash
# Every window and state of the real program on a 1920×1080 screen at a device pixel ratio of 1,
# checked from screenshots (lib-screen.sh); then the text cursor during a composition of the
# real input method (run as a test user: needs root), and with blinking turned off.
# labels: e2e screen ime
# timeout: 300
source "$(dirname "$0")/lib-screen.sh" "$@"
screen_tour 1920 1080 1
screen_composition
screen_steady_cursor
screen_pass
