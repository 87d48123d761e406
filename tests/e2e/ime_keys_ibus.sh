#!/usr/bin/env bash
# ime_keys.sh under IBus (ibus-daemon with ibus-mozc), mozc switched on in hiragana from
# outside the program: the key guide and the English line practice still take plain keys.
# labels: e2e ime
# timeout: 180
E2E_IME_FRAMEWORK=ibus E2E_IME_USER=tokotoko-e2e-keys-ibus \
    exec bash "$(dirname "$0")/ime_keys.sh" "$@"
