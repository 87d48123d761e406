#!/usr/bin/env bash
# Every window and state of the real program on a 3840×2160 screen at a device pixel ratio of 2,
# checked from screenshots (lib-screen.sh).
# labels: e2e screen
# timeout: 300
source "$(dirname "$0")/lib-screen.sh" "$@"
screen_tour 3840 2160 2
e2e_pass
