#!/usr/bin/env bash
# labels: desktop hidpi
# The entrance on a 3840×2160 screen, at a device pixel ratio of 2 (QT_SCALE_FACTOR=2) and
# of 1. From a screenshot, the entry boxes must sit where the proportional layout puts them
# (units from the inner size in twips, 15 twips per device-independent pixel, times the
# ratio) within 2 pixels, and the text must be drawn at the device resolution: glyphs twice
# as tall as at ratio 1, and not a ratio-1 picture blown up.
source "$(dirname "$0")/lib.sh" "$@"
e2e_require import convert compare
readonly TOLERANCE=2 # device pixels
readonly NAVY='rgb(0,0,128)' BLUE='rgb(0,0,255)' BLACK='rgb(0,0,0)'

# Bounding box "width height left top" of the pixels near `colour` inside a region.
colour_box() {
    local shot=$1 colour=$2 fuzz=$3 region=$4
    convert "$shot" -crop "$region" +repage -fuzz "$fuzz" -fill magenta -opaque "$colour" \
        -fuzz 0 -fill black +opaque magenta -trim -format '%w %h %X %Y' info: 2>/dev/null |
        tr -d '+'
}

# The rectangle (device pixels, "width height left top") where the layout puts entry `index`
# (0–7) of a client area of `cw`×`ch` device pixels at (`cx`, `cy`) at ratio `ratio`:
# h = trunc(inner height / 5), w = trunc(inner width × 0.99), in twips; each control is
# (0.8 h, 0.4 w) at (top, left) = (0.8/1.8/2.8/3.8 h, 0.05/0.55 w), rounded to whole
# device-independent pixels.
expected_entry() {
    awk -v i="$1" -v cw="$2" -v ch="$3" -v cx="$4" -v cy="$5" -v r="$6" 'BEGIN {
        h = int(ch / r * 15 / 5); w = int(cw / r * 15 * 99 / 100)
        top = (i % 4) + 0.8; left = (i < 4) ? 0.05 : 0.55
        printf "%d %d %d %d\n", px(0.4 * w) * r, px(0.8 * h) * r, cx + px(left * w) * r, cy + px(top * h) * r
    }
    function px(twips) { return int(twips / 15 + 0.5) }'
}

# Starts the entrance at this scale factor and takes a screenshot of the whole screen.
screenshot_at() {
    local scale=$1 shot=$2
    export QT_SCALE_FACTOR=$scale
    e2e_start_app
    e2e_wait_clip '１\r\n押せばわかる'
    # Openbox places the window and the frame fit follows: take the screenshot once the
    # client area has kept its place between two shots (the title keeps turning).
    local previous='' current
    for _ in $(seq 30); do
        import -window root "$shot" || e2e_fail "import"
        current=$(colour_box "$shot" "$NAVY" 0 3840x2160+0+0)
        [[ $current == "$previous" ]] && break
        previous=$current
        sleep 0.3
    done
    [[ $current == "$previous" ]] || e2e_fail "the window did not settle at scale $scale"
    e2e_key Escape
    e2e_wait_exit 2 0
    unset QT_SCALE_FACTOR
}

# Checks the eight entry boxes of a screenshot at ratio `ratio`; sets GLYPHS to the yellow
# glyph box of entry 2 ("２ / どの指使うの") as "width height".
check_layout() {
    local shot=$1 ratio=$2
    local client
    client=$(colour_box "$shot" "$NAVY" 0 3840x2160+0+0)
    read -r cw ch cx cy <<<"$client"
    e2e_log "ratio $ratio: navy client area ${cw}x${ch} at ($cx,$cy)"
    # The window fills the screen but for the frame, title and menu bars.
    ((cw >= 3840 - 8 && ch >= 2160 - 120)) || e2e_fail "the client area ${cw}x${ch} does not fill the screen"
    local i expected actual colour fuzz
    for i in 0 1 2 3 4 5 6 7; do
        read -r ew eh ex ey <<<"$(expected_entry "$i" "$cw" "$ch" "$cx" "$cy" "$ratio")"
        # Entry 1 has the focus (black); the others are blue, their frame a darker blue.
        if ((i == 0)); then colour=$BLACK fuzz=0; else colour=$BLUE fuzz=20%; fi
        actual=$(colour_box "$shot" "$colour" "$fuzz" "$((ew + 40))x$((eh + 40))+$((ex - 20))+$((ey - 20))")
        read -r aw ah ax ay <<<"$actual"
        ax=$((ax + ex - 20)) ay=$((ay + ey - 20))
        e2e_log "entry $((i + 1)): expected ${ew}x${eh}+${ex}+${ey}, found ${aw}x${ah}+${ax}+${ay}"
        local d
        for d in $((aw - ew)) $((ah - eh)) $((ax - ex)) $((ay - ey)); do
            ((d <= TOLERANCE && d >= -TOLERANCE)) || e2e_fail "entry $((i + 1)) is not where the layout puts it"
        done
    done
    read -r ew eh ex ey <<<"$(expected_entry 1 "$cw" "$ch" "$cx" "$cy" "$ratio")"
    convert "$shot" -crop "${ew}x${eh}+${ex}+${ey}" +repage "$E2E_TMP/entry2-$ratio.png"
    GLYPHS=$(colour_box "$E2E_TMP/entry2-$ratio.png" yellow 0 "${ew}x${eh}+0+0" | cut -d' ' -f1,2)
}

e2e_start_display 3840 2160
e2e_log "device pixel ratio 2"
screenshot_at 2 "$E2E_TMP/ratio2.png"
check_layout "$E2E_TMP/ratio2.png" 2
glyphs2=$GLYPHS
e2e_log "device pixel ratio 1"
screenshot_at 1 "$E2E_TMP/ratio1.png"
check_layout "$E2E_TMP/ratio1.png" 1
glyphs1=$GLYPHS

# The same 36-point text is twice as large in device pixels at ratio 2...
read -r w1 h1 <<<"$glyphs1"
read -r w2 h2 <<<"$glyphs2"
e2e_log "text of entry 2: ${w1}x${h1} at ratio 1, ${w2}x${h2} at ratio 2"
((w1 > 0 && h1 > 0)) || e2e_fail "no text in entry 2"
((w2 * 100 >= w1 * 190 && w2 * 100 <= w1 * 210 && h2 * 100 >= h1 * 190 && h2 * 100 <= h1 * 210)) ||
    e2e_fail "the text does not scale with the device pixel ratio"
# ...and drawn at that resolution: a ratio-1 picture blown up would consist of 2×2 blocks of
# one colour each, and would not change when reduced to those blocks and enlarged again.
blocky=$E2E_TMP/blocky.png
convert "$E2E_TMP/entry2-2.png" -sample 50% -sample 200% "$blocky"
differing=$(compare -metric AE "$E2E_TMP/entry2-2.png" "$blocky" null: 2>&1)
e2e_log "pixels that differ from their 2×2 block: $differing"
((differing > 1000)) || e2e_fail "the text at ratio 2 is an enlarged ratio-1 picture, not sharp"
e2e_pass
