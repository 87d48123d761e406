#!/usr/bin/env bash
# Makes the program's cues with sox: 16-bit PCM, mono, 22.05 kHz. The WAVs are committed;
# run this only to change them (apt-get install sox).
set -euo pipefail
cd "$(dirname "$0")"
fmt=(-r 22050 -b 16 -c 1 -e signed-integer)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Each cue ends in 0.3 s of silence: Qt stops a sound effect once it has handed over its last
# samples, and what the audio server still holds (about 0.1 s) is never heard.
silence=(pad 0 0.3)

# ding: a bright bell, about 0.7 s (a wrong key in the finger drills)
sox -n "${fmt[@]}" "$tmp/d1.wav" synth 0.7 sine 1568 fade p 0.003 0.7 0.68 vol 0.55
sox -n "${fmt[@]}" "$tmp/d2.wav" synth 0.7 sine 3136 fade p 0.003 0.7 0.5 vol 0.2
sox -m "$tmp/d1.wav" "$tmp/d2.wav" "${fmt[@]}" ding.wav "${silence[@]}"

# boo: a low buzz, about 0.45 s (a wrong line in the English windows)
sox -n "${fmt[@]}" boo.wav synth 0.45 square 98 fade t 0.01 0.45 0.08 vol 0.35 "${silence[@]}"

# zannen: two falling notes, about 0.67 s (a wrong line in the Japanese windows)
sox -n "${fmt[@]}" "$tmp/z1.wav" synth 0.3 triangle 784 fade t 0.01 0.3 0.05 vol 0.6
sox -n "${fmt[@]}" "$tmp/z2.wav" synth 0.37 triangle 523 fade t 0.01 0.37 0.15 vol 0.6
sox "$tmp/z1.wav" "$tmp/z2.wav" zannen.wav "${silence[@]}"

# default: the short tick played when a cue file is missing or broken
sox -n "${fmt[@]}" default.wav synth 0.15 sine 880 fade t 0.005 0.15 0.05 vol 0.5 "${silence[@]}"
