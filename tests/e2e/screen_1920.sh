#!/usr/bin/env bash
# Every window and state of the real program on a 1920×1080 screen at a device pixel ratio of 1,
# checked from screenshots (lib-screen.sh).
# labels: e2e screen
# timeout: 300
source "$(dirname "$0")/lib-screen.sh" "$@"
screen_tour 1920 1080 1
e2e_pass
