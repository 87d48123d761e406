#!/usr/bin/env bash
# Every window and state of the real program on a 1280×1024 screen at a device pixel ratio of 1,
# checked from screenshots (lib-screen.sh).
# labels: e2e screen
# timeout: 300
source "$(dirname "$0")/lib-screen.sh" "$@"
screen_tour 1280 1024 1
e2e_pass
