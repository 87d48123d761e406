#!/usr/bin/env bash
# Fails when a C++ file of src/ or tests/ is not laid out as the repository's .clang-format
# says. Where clang-format is not installed it exits 77 (skipped), or fails when every test
# must run (TOKOTOKO_NO_SKIP=1, as in CI).
#   bash tests/check-format.sh <source dir>
set -euo pipefail
cd "$1"
if ! command -v clang-format >/dev/null; then
    echo "clang-format is not installed" >&2
    [[ ${TOKOTOKO_NO_SKIP:-} == 1 ]] && exit 1
    exit 77
fi
find src tests \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
    xargs -0 clang-format --dry-run --Werror
