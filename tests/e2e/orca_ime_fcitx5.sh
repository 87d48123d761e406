#!/usr/bin/env bash
# labels: e2e ime orca
# timeout: 240
# Orca hears Japanese typed through mozc under fcitx5: see lib-orca-ime.sh.
E2E_IME_FRAMEWORK=fcitx5
E2E_IME_USER=tokotoko-e2e-orca-fcitx5
source "$(dirname "$0")/lib-orca-ime.sh" "$@"
orca_ime_scenario
