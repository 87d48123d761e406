#!/usr/bin/env bash
# The entrance under a real X server: start-up clipboard, arrow keys, and Escape ending the
# program at once. The sound and speech libraries are not loaded at the entrance, which needs
# neither.
source "$(dirname "$0")/lib.sh" "$@"
e2e_start_display
e2e_start_app

e2e_wait_clip '１\r\n押せばわかる'
e2e_key 116 # Down
e2e_wait_clip '２\r\nどの指使うの'
e2e_key 111 111 # Up, Up: wraps round to entry 8
e2e_wait_clip '８\r\n応用英語入力２'
e2e_key 116 # Down wraps to entry 1
e2e_wait_clip '１\r\n押せばわかる'
# Sound, speech and image plugins wait until something needs them, and the entrance reads
# one font file: its own Japanese face, which its menus use too.
if loaded=$(grep -oE 'lib(Qt6Multimedia|Qt6TextToSpeech|pulse|tokotoko_media)[^ ]*|imageformats/[^ ]*' \
    /proc/"$APP_PID"/maps | sort -u | grep .); then
    e2e_fail "the entrance loaded $(echo $loaded)"
fi
fonts=$(grep -oE '[^/ ]+\.(ttf|otf|ttc)$' /proc/"$APP_PID"/maps | sort -u)
(($(wc -l <<<"$fonts") == 1)) || e2e_fail "the entrance read the font files $(echo $fonts)"

e2e_key Escape
e2e_wait_exit 2 0
e2e_pass
