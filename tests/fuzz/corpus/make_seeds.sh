#!/usr/bin/env bash
# Writes the committed seed corpus of the fuzz targets (run from anywhere; needs iconv). The
# seeds are our own small files: practice texts in code page 932 and UTF-8 with every kind of
# line end and the line limit's edges, and key events as the X server and the program make them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
texts=$here/fuzz_practice_text
keys=$here/fuzz_keys
mkdir -p "$texts" "$keys"

cp932() { iconv -f UTF-8 -t CP932; }
# n numbered lines "行 1" ... joined by CR LF, with a final CR LF.
numbered() {
    local i
    for ((i = 1; i <= $1; i++)); do printf '行 %d\r\n' "$i"; done
}

printf 'きょうはいい天気です。\r\nあしたも晴れるでしょう。\r\n' | cp932 >"$texts/cp932_crlf.txt"
printf 'ﾊﾝｶｸｶﾀｶﾅ　と全角　スペース\r\n～＼－①ⅰ纊\r\n' | cp932 >"$texts/cp932_extensions.txt"
printf 'C:\\Program Files\\~tilde\r\nlast line without an end' >"$texts/ascii_backslash_tilde.txt"
printf 'UTF-8 の行\nつぎの行\n' >"$texts/utf8_lf.txt"
printf '\xEF\xBB\xBFマーク付き\r\nBOM\r\n' >"$texts/utf8_bom_crlf.txt"
printf 'one\rtwo\rthree\r' >"$texts/cr.txt"
printf 'one\ntwo\n\nfour\n' >"$texts/lf.txt"
printf 'crlf\r\nlf\ncr\r\r\n  spaces  \r\n\t\r\n' >"$texts/mixed_line_ends.txt"
printf 'end of file mark\r\n\x1A' >"$texts/eof_mark.txt"
numbered 101 | cp932 >"$texts/lines_101.txt"
numbered 102 | cp932 >"$texts/lines_102.txt"
# A bad pair, a byte that starts nothing, a lead byte cut off by the end of the file.
printf 'bad \x81\x20 pair\r\n\x80\xFD\xFF\r\nlead at end \x88' >"$texts/invalid_cp932.txt"
printf 'truncated \xE3\x81 UTF-8 \xEF\xBB\xBF\r\n' >"$texts/invalid_utf8.txt"
printf 'a\0b\r\n' >"$texts/nul.txt"
: >"$texts/empty.txt"

# A key event: Qt key, Qt modifiers, X keycode, X state, flags (1: X11, 2: Wayland), then a key code
# and a shift state of its own.
le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))\\x$(printf %02x $((($1 >> 16) & 255)))\\x$(printf %02x $((($1 >> 24) & 255)))"; }
event() { # name qtKey modifiers keycode state flags keyCode shift
    { le32 "$2"; le32 "$3"; le32 "$4"; le32 "$5"; printf "\\x$(printf %02x "$6")"
      le32 "$7"; le32 "$8"; } >"$keys/$1"
}
shift_=0x02000000 ctrl=0x04000000 alt=0x08000000 keypad=0x20000000
event yen_key 0xa5 0 132 0 1 220 0
event ro_key 0x5c 0 97 0 1 226 1
event shift_0 0x7e $shift_ 19 1 1 48 1
event shift_alt_as_meta 0x01000022 $((shift_ | alt)) 64 1 1 18 5
event keypad_home_numlock_shift 0x01000010 $keypad 79 0x11 1 103 0
event zenkaku_hankaku 0x0100112a 0 49 0 1 229 0
event shift_eisu 0x01001130 $shift_ 66 1 1 240 1
event letter_a_posted 0x41 0 0 0 0 65 0
event backtab_posted 0x01000002 0 0 0 0 9 1
event alt_f4 0x01000033 $alt 70 8 1 115 4
event ctrl_key 0x01000021 $ctrl 37 0 1 17 2
event henkan 0x01001123 0 100 0 1 28 0
event muhenkan 0x01001122 0 102 0 1 29 0
event super_l 0x01000053 0 133 0 1 91 0
# Wayland (flags 2): the keycode settles only the keys that share a key symbol.
event wayland_yen 0x5c 0 132 0 2 220 0
event wayland_shift_0 0x7e $shift_ 19 0 2 48 1
event wayland_shift_alt 0x01000022 $((shift_ | alt)) 64 0 2 18 0
