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
if loaded=$(grep -oE 'lib(Qt6Multimedia|Qt6TextToSpeech|pulse|tokotoko_media)[^ ]*' \
    /proc/"$APP_PID"/maps | sort -u | grep .); then
    e2e_fail "the entrance loaded $(echo $loaded)"
fi

e2e_key Escape
e2e_wait_exit 2 0
e2e_pass
