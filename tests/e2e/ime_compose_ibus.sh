#!/usr/bin/env bash
# ime_compose.sh under IBus (ibus-daemon with ibus-mozc), which starts with no engine chosen:
# the program makes mozc the engine and switches it to hiragana.
# labels: e2e ime
# timeout: 120
E2E_IME_FRAMEWORK=ibus E2E_IME_USER=tokotoko-e2e-compose-ibus \
    exec bash "$(dirname "$0")/ime_compose.sh" "$@"
