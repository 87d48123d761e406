#!/usr/bin/python3
"""Checks a screenshot of one window of the program from its pixels.

  screen_check.py SHOT FORM --ratio R --outer W [--colors NAME=FG/BG ...] CONTROL=TEXT ...

SHOT is a picture of the window alone (menu bar included), as `import -window` takes it. The
inner area starts below the menu bar; from its size in device-independent pixels (15 twips
each) the row unit h and the column unit w give every control its rectangle, as each window's
layout table below does. W is the window's outer width in device pixels.

For each CONTROL=TEXT the control's rectangle must hold TEXT drawn in the control's colour on
its background colour, whole: the ink's bounding box and its amount match the text rendered
with the same font at the same size (the IPA Gothic faces the program resolves to), within a
few pixels. A control added in a place left free (the results line) must also overlap no
other control's rectangle. Forms of TEXT:
  CONTROL=text        exactly this text ("\\n" separates lines)
  CONTROL|=a|b|c      any one of these texts (a ticker, a clock)
  CONTROL=?           some text of the control's colour, not cut at the rectangle's edges
  CONTROL=            no ink of the control's colour in its rectangle
  CONTROL>=text       this text wrapped on as many rows as the control gives it: its amount of
                      ink, none of it cut by the rectangle's edges or the window's right edge
  CONTROL@=text       a text cursor in the control, and this text's end just before it, both
                      inside the window
  CONTROL@            a text cursor in the control (over any text or selection)
  shpScale=full|part|empty   the time bar's coloured length inside shpBox's rectangle
A text cursor is an upright bar of the control's colour as tall as a line of its type; a frame
showing two fails at once.
Exit status 0 when every control passes, 1 otherwise; one line per control either way.

  screen_check.py SHOT FORM --window ID [--steady] [--seconds S] [--wait T] ...

checks frames of the X window ID, taken as fast as it can, instead of the file SHOT (where it
keeps the frame of its verdict): a text cursor blinks. It passes once a frame passes every
check and then S seconds more (1.2 unless set, over a blink period) show no frame with two
cursors; with --steady (blinking off) every frame of those S seconds must pass. It fails when
no frame passes within T seconds (10 unless set).

  screen_check.py --message SHOT

checks the version box instead: dark text in three lines above its button, the first two
apart by an empty line, none cut at the box's edges.
"""

import argparse
import ctypes
import subprocess
import sys
import time
from dataclasses import dataclass
from functools import lru_cache

import numpy as np
from PIL import Image, ImageDraw, ImageFont

BLACK, WHITE, YELLOW = (0, 0, 0), (255, 255, 255), (255, 255, 0)
NAVY, MAROON, BLUE = (0, 0, 128), (128, 0, 0), (0, 0, 255)
RED, GREEN, LIGHT_CYAN, GREY = (255, 0, 0), (0, 255, 0), (192, 255, 255), (224, 224, 224)
COLOURS = {
    "black": BLACK, "white": WHITE, "yellow": YELLOW, "navy": NAVY, "maroon": MAROON,
    "blue": BLUE, "red": RED, "green": GREEN, "lightcyan": LIGHT_CYAN, "grey": GREY,
}

P, G = "IPAPGothic", "IPAGothic"  # what "ＭＳ Ｐゴシック" and "ＭＳ ゴシック" resolve to


@dataclass
class Units:
    h: int  # row unit, twips
    w: int  # column unit, twips
    inner: float  # inner width, twips
    outer: float  # outer width, twips


@dataclass
class Control:
    place: object  # Units -> (height, width, top, left) in twips
    face: str = P
    points: float = 0
    fg: tuple = WHITE
    bg: tuple = BLACK
    parent: str = ""
    grows: bool = False  # a label that grows below its top edge to fit its line
    shaded: bool = False  # a button: the style shades its colour from light to itself
    beside: tuple = ()  # controls that touch or cover this one: not part of its picture
    alone: bool = False  # its rectangle overlaps no other control's
    cursor: bool = False  # a text box with a text cursor: the cursor is not part of its text


def label(place, face, points, fg, bg, **more):
    return Control(place, face, points, fg, bg, **more)


def entrance():
    controls = {"lblTitle": label(lambda u: (0.6 * u.h, 0.9 * u.w, 0.2 * u.h, 0.05 * u.w),
                                  P, 48, YELLOW, NAVY)}
    names = ["txtKeyGuide", "txtYubiren", "txtYubiren2", "txtYubiren3",
             "txtJapanese_1", "txtJapanese", "txtEnglish_1", "txtEnglish"]
    for i, name in enumerate(names):
        top, left = (0.8, 1.8, 2.8, 3.8)[i % 4], 0.05 if i < 4 else 0.55
        controls[name] = label(lambda u, t=top, l=left: (0.8 * u.h, 0.4 * u.w, t * u.h, l * u.w),
                               P, 36, YELLOW, BLUE)
    return NAVY, controls


def key_guide():
    return BLACK, {
        "lblYomi": label(lambda u: (u.h, u.w, 2.5 * u.h, 0), P, 90, YELLOW, BLACK),
        "Label2": label(lambda u: (u.h, u.w, 4 * u.h, 0), P, 60, LIGHT_CYAN, BLACK),
        "lblKey": label(lambda u: (0.2 * u.h, u.w, 0.5 * u.h, 0), P, 129.75, WHITE, BLACK,
                        grows=True),
    }


def finger_drill():
    return BLACK, {
        "lblYubiHyoji": label(lambda u: (u.h, u.w, 0.5 * u.h, 0), P, 90, YELLOW, BLACK),
        "lblKey": label(lambda u: (2 * u.h, u.w, 2 * u.h, 0), P, 249.75, WHITE, BLACK),
    }


def key_game(bar):
    return NAVY, {
        "lblTime": label(lambda u: (u.h, 0.5 * u.w, 0.2 * u.h, 0.62 * u.w), P, 72, WHITE, NAVY),
        "lblMaru": label(lambda u: (u.h, 0.3 * u.w, 1.4 * u.h, 0.72 * u.w), G, 72, WHITE, NAVY),
        "lblBatsu": label(lambda u: (u.h, 0.3 * u.w, 2.6 * u.h, 0.72 * u.w), G, 72, WHITE, NAVY),
        "lblTokuten": label(lambda u: (u.h, 0.5 * u.w, 3.8 * u.h, 0.62 * u.w), G, 72, YELLOW,
                            NAVY),
        "Frame1": Control(lambda u: (3.5 * u.h, 0.6 * u.w, 0.01 * u.h, 0)),
        "lblYubi": label(lambda u: (0.8 * u.h, 0.6 * u.w, 0.3 * u.h, 0.05 * u.w / 5), P, 60,
                         YELLOW, BLACK, parent="Frame1"),
        "lblKey": label(lambda u: (2.3 * u.h, 0.6 * u.w, 1.2 * u.h, 0.01 * u.w), P, 249.75,
                        WHITE, BLACK, parent="Frame1", beside=("shpScale",)),
        "cmdStart": label(lambda u: (0.6 * u.h, 0.4 * u.w, 3.9 * u.h, 0.1 * u.w), P, 36, BLACK,
                          GREY, shaded=True),
        "shpScale": Control(lambda u: (0.1 * u.h, 0.6 * u.w, 3.5 * u.h, 0), fg=bar, bg=WHITE),
    }


def text_window(background, counts_face, timed):
    controls = {
        "Frame1": Control(lambda u: (3.4 * u.h, u.inner, 0.01 * u.h, 0)),
        "txtHyoji": label(lambda u: (1.5 * u.h, u.w, 0.2 * u.h, 0.05 * u.w), P, 80.25, WHITE,
                          BLACK, parent="Frame1"),
        "txtNyuryoku": label(lambda u: (1.5 * u.h, u.w, 1.8 * u.h, 0.05 * u.w), P, 80.25, YELLOW,
                             BLACK, cursor=True),
        "lblTime": label(lambda u: (0.6 * u.h, 0.35 * u.outer, 3.5 * u.h, 0.02 * u.w), G, 60,
                         WHITE, background),
        "lblMaru": label(lambda u: (0.6 * u.h, 0.25 * u.outer, 3.5 * u.h, 0.4 * u.w), G, 60,
                         WHITE, background),
        "lblBatsu": label(lambda u: (0.6 * u.h, 0.25 * u.outer, 4.2 * u.h, 0.4 * u.w), G, 60,
                          WHITE, background),
        "lblKey_Guide": label(lambda u: (0.6 * u.h, 0.35 * u.outer, 4.2 * u.h, 0.02 * u.w), P,
                              27.75, GREEN, background),
    }
    last = label(lambda u: (0.6 * u.h, 0.35 * u.outer, 3.5 * u.h, 0.65 * u.w), counts_face, 60,
                 YELLOW, background)
    # The results line: the second row's free place, right of the wrong count.
    controls["lblKekka"] = label(lambda u: (0.6 * u.h, u.inner - 0.66 * u.w - 0.01 * u.w,
                                            4.2 * u.h, 0.66 * u.w), P, 27.75, YELLOW,
                                 background, alone=True)
    if timed:
        for name in ("lblTime", "lblMaru"):
            controls[name].beside = ("shpScale",)
        last.beside = ("shpScale",)
        controls["lblTokuten"] = last
        controls["shpScale"] = Control(lambda u: (0.1 * u.h, u.inner, 3.4 * u.h, 0), fg=BLUE,
                                       bg=WHITE)
    else:
        controls["lblGyosu"] = last
    return background, controls


FORMS = {
    "frmEntrance": entrance,
    "frmKeyGuide": key_guide,
    "frmYubiren": finger_drill,
    "frmYubiren2": lambda: key_game(RED),
    "frmYubiren3": lambda: key_game(BLUE),
    "frmJapanese_1": lambda: text_window(NAVY, G, False),
    "frmEnglish_1": lambda: text_window(MAROON, P, False),
    "frmJapanese": lambda: text_window(NAVY, G, True),
    "frmEnglish": lambda: text_window(MAROON, P, True),
}


def twips_to_px(twips, ratio):
    """Qt rounds a place in twips to whole device-independent pixels; device pixels follow."""
    return int(np.float32(twips) / 15 + 0.5) * ratio


def rectangle(form, name, units, ratio, top):
    height, width, y, x = form[name].place(units)
    rect = [twips_to_px(x, ratio), twips_to_px(y, ratio) + top,
            twips_to_px(width, ratio), twips_to_px(height, ratio)]
    if form[name].parent:
        parent = rectangle(form, form[name].parent, units, ratio, top)
        rect[0] += parent[0]
        rect[1] += parent[1] - top
    return rect


def overlaps(form, name, units, ratio, top):
    """The other controls whose rectangles share some area with this one's."""
    x, y, w, h = rectangle(form, name, units, ratio, top)
    found = []
    for other in form:
        if other == name:
            continue
        ox, oy, ow, oh = rectangle(form, other, units, ratio, top)
        if x < ox + ow and ox < x + w and y < oy + oh and oy < y + h:
            found.append(other)
    return found


def inner_top(pixels):
    """The first row below the menu bar: every inner area is dark, the menu bar is light."""
    column = pixels[:, -3, :].astype(int).sum(axis=1)
    dark = np.nonzero(column < 300)[0]
    if len(dark) == 0:
        sys.exit("no dark inner area below the menu bar")
    return int(dark[0])


@lru_cache(maxsize=None)
def font_file(face):
    return subprocess.run(["fc-match", "-f", "%{file}", face], check=True,
                          capture_output=True, text=True).stdout


@lru_cache(maxsize=None)
def reference(text, face, pixels):
    """Ink box (width, height) and ink amount of `text` rendered alone, lines stacked."""
    font = ImageFont.truetype(font_file(face), pixels)
    ascent, descent = font.getmetrics()
    lines = text.split("\n")
    image = Image.new("L", (pixels * (max(len(l) for l in lines) + 2), (ascent + descent) *
                            (len(lines) + 1)), 0)
    draw = ImageDraw.Draw(image)
    for i, line in enumerate(lines):
        draw.text((pixels, i * (ascent + descent)), line, fill=255, font=font)
    ink = np.asarray(image) >= 128
    return ink_box(ink), int(ink.sum())


def ink_box(ink):
    rows, cols = np.nonzero(ink.any(axis=1))[0], np.nonzero(ink.any(axis=0))[0]
    if len(rows) == 0:
        return None
    return int(cols[-1] - cols[0] + 1), int(rows[-1] - rows[0] + 1), int(cols[0]), int(rows[0])


def blend(pixels, fg, bg):
    """How far each pixel lies from `bg` towards `fg` (0 to 1), and how far off that line."""
    fg, bg = np.array(fg, float), np.array(bg, float)
    span = fg - bg
    offset = pixels.astype(float) - bg
    t = offset @ span / (span @ span)
    off_line = np.linalg.norm(offset - np.outer(t, span).reshape(offset.shape), axis=-1)
    return t, off_line


def crop(pixels, rect, margin):
    x, y, w, h = rect
    x0, y0 = max(0, x - margin), max(0, y - margin)
    x1, y1 = min(pixels.shape[1], x + w + margin), min(pixels.shape[0], y + h + margin)
    return pixels[y0:y1, x0:x1], x0, y0


def check_text(pixels, ctl, rect, expected, ratio, wrapped=False):
    """One control's text against its rectangle; returns (ok, message). Wrapped text is
    checked for its amount of ink only, its rows being the control's own."""
    tolerance = 2 * ratio + 1
    region, x0, y0 = crop(pixels, rect, tolerance)
    t, off_line = blend(region, ctl.fg, ctl.bg)
    ink = (t >= 0.5) & (off_line < 60)
    if ctl.cursor:
        for left, right in cursor_bars(pixels, ctl, rect, ratio):
            ink[:, left - x0:right - x0 + 1] = False
    found = ink_box(ink)
    where = "in %dx%d+%d+%d" % (rect[2], rect[3], rect[0], rect[1])
    # The background inside the rectangle, within the border a text box draws round itself.
    inside, _, _ = crop(pixels, rect, -3 * ratio)
    t, off_line = blend(inside, ctl.fg, ctl.bg)
    background = (np.abs(inside.astype(int) - ctl.bg).max(axis=-1) <= 12)
    if ctl.shaded:
        channels = inside.astype(int)
        background |= (channels.min(axis=-1) >= min(ctl.bg) - 12) & \
            (channels.max(axis=-1) - channels.min(axis=-1) <= 8)
    plain = background | ((t > -0.1) & (t < 1.1) & (off_line < 60))
    if plain.mean() < 0.97 or background.mean() < 0.3:
        return False, "not on its background %s %s: %.0f%% background, %.0f%% of other colours" % (
            ctl.bg, where, 100 * background.mean(), 100 * (1 - plain.mean()))
    if not expected:
        return found is None, "no ink %s" % where if found is None else \
            "ink %dx%d where none belongs %s" % (found[0], found[1], where)
    if found is None:
        return False, "no ink of %s %s" % (ctl.fg, where)
    fw, fh, fx, fy = found
    at = "ink %dx%d+%d+%d" % (fw, fh, fx + x0, fy + y0)
    height = region.shape[0]
    touches = fx == 0 or fy == 0 or fx + fw == region.shape[1] or fy + fh == height
    if expected == ["?"]:
        return not touches, ("%s %s" % (at, where)) if not touches else \
            "%s touches the edge of %s: cut" % (at, where)
    messages = []
    for text in expected:
        (rw, rh, _, _), amount = reference(text, ctl.face, pixel_size(ctl, ratio))
        slack = lambda size: max(tolerance + 1, 0.05 * size)
        lines = text.count("\n") + 1
        ok = (wrapped or abs(fw - rw) <= slack(rw) and
              (abs(fh - rh) <= slack(rh) if lines == 1 else abs(fh - rh) <= 0.15 * rh)) and \
            0.7 <= ink.sum() / amount <= 1.4 and not touches
        what = "%.2f of the ink of %r" % (ink.sum() / amount, text) if wrapped else \
            "expected %dx%d for %r" % (rw, rh, text)
        messages.append("%s, %s %s%s" % (at, what, where, " (touches the edge: cut)" if touches
                                         else ""))
        if ok:
            return True, messages[-1]
    return False, messages[0] if len(messages) == 1 else "%s; none of %d texts fits" % (
        messages[0], len(messages))


def pixel_size(ctl, ratio):
    return round(ctl.points * 96 / 72) * ratio


@lru_cache(maxsize=None)
def line_height(face, pixels):
    ascent, descent = ImageFont.truetype(font_file(face), pixels).getmetrics()
    return ascent + descent


def cursor_bars(pixels, ctl, rect, ratio):
    """Upright bars of the control's colour at least as tall as most of a line: [(left, right)],
    columns in the picture. No glyph of the tests' texts stands that tall."""
    region, x0, _ = crop(pixels, rect, 0)
    solid = np.abs(region.astype(int) - ctl.fg).max(axis=-1) <= 40
    run = np.zeros(solid.shape[1], int)
    longest = np.zeros(solid.shape[1], int)
    for row in solid:
        run = (run + 1) * row
        longest = np.maximum(longest, run)
    tall = np.nonzero(longest >= 0.9 * line_height(ctl.face, pixel_size(ctl, ratio)))[0]
    bars = []
    for column in tall:
        if bars and bars[-1][1] == column - 1:
            bars[-1][1] = column
        else:
            bars.append([column, column])
    return [(x0 + left, x0 + right) for left, right in bars]


def check_cursor(pixels, ctl, rect, expected, ratio):
    """A text cursor in the control, inside the window; if `expected`, its last characters just
    before it. Returns (verdict, message): "ok", "none", "two" or "bad"."""
    bars = cursor_bars(pixels, ctl, rect, ratio)
    if not bars:
        return "none", "no cursor in %dx%d+%d+%d" % (rect[2], rect[3], rect[0], rect[1])
    if len(bars) > 1:
        return "two", "%d cursors, at columns %s" % (len(bars), [b[0] for b in bars])
    left, right = bars[0]
    at = "cursor at columns %d-%d of a window %d wide" % (left, right, pixels.shape[1])
    if right >= pixels.shape[1] - 1 or right - left + 1 > 4 * ratio:
        return "bad", at + ": at the window's edge, or too wide for a cursor"
    if not expected:
        return "ok", at
    tail = expected[-3:]
    size = pixel_size(ctl, ratio)
    (rw, _, _, _), amount = reference(tail, ctl.face, size)
    reach = rw + size // 2
    region, x0, _ = crop(pixels, [left - reach, rect[1], reach, rect[3]], 0)
    t, off_line = blend(region, ctl.fg, ctl.bg)
    ink = (t >= 0.5) & (off_line < 60)
    ink[ink.mean(axis=1) > 0.6] = False  # a composition's underline
    found = ink_box(ink)
    if found is None:
        return "bad", at + ": no text before it"
    gap = left - (x0 + found[2] + found[0])
    share = ink.sum() / amount
    message = "%s, %r before it (%.2f of its ink, %d px apart)" % (at, tail, share, gap)
    return ("ok" if 0.7 <= share <= 1.4 and gap <= size // 4 else "bad"), message


def check_bar(pixels, ctl, rect, state, ratio):
    region, _, _ = crop(pixels, rect, -ratio)  # inside the bar's rectangle only
    row = region[region.shape[0] // 2]
    coloured = (np.abs(row.astype(int) - ctl.fg).max(axis=-1) <= 12)
    white = (np.abs(row.astype(int) - WHITE).max(axis=-1) <= 12)
    share = coloured.mean()
    message = "%.0f%% of %s, %.0f%% white in %dx%d+%d+%d" % (
        100 * share, ctl.fg, 100 * white.mean(), *rect)
    plain = (coloured | white).mean() > 0.98
    if state == "full":
        return plain and share > 0.97, message
    if state == "empty":
        return plain and share < 0.01, message
    # part: coloured from the left, white after it
    run = int(np.argmin(coloured)) if not coloured.all() else len(coloured)
    return plain and 0.02 < share < 0.99 and coloured[:run].all() and not coloured[run:].any(), \
        message


def row_bands(ink):
    rows = np.concatenate([[False], ink.any(axis=1), [False]])
    edges = np.nonzero(rows[1:] != rows[:-1])[0]
    return list(zip(edges[::2], edges[1::2]))


def check_message(shot):
    pixels = np.asarray(Image.open(shot).convert("RGB")).astype(float)
    dark = pixels @ [0.299, 0.587, 0.114] < 100
    height, width = dark.shape
    # Right of the icon, above the button.
    text = dark[: int(height * 0.65), int(width * 0.15):]
    bands = [(a, b) for a, b in row_bands(text) if b - a >= 6]
    print("text lines at rows %s" % bands)
    if len(bands) != 3:
        return 1
    gaps = bands[1][0] - bands[0][1], bands[2][0] - bands[1][1]
    cols = np.nonzero(text.any(axis=0))[0]
    cut = bands[0][0] == 0 or cols[-1] + 1 >= text.shape[1]
    return 0 if gaps[0] > 1.5 * gaps[1] and not cut else 1


def parse_colour(text):
    if text in COLOURS:
        return COLOURS[text]
    return tuple(int(part) for part in text.split(","))


class WindowFrames:
    """Frames of an X window straight from the server (libX11 through ctypes): a screenshot
    tool's file takes a second to write at 3840x2160, longer than a cursor's blink."""

    class XImage(ctypes.Structure):
        _fields_ = [(name, ctypes.c_int) for name in ("width", "height", "xoffset", "format")] + \
            [("data", ctypes.c_void_p)] + \
            [(name, ctypes.c_int) for name in ("byte_order", "bitmap_unit", "bitmap_bit_order",
                                               "bitmap_pad", "depth", "bytes_per_line",
                                               "bits_per_pixel")]

    def __init__(self, window):
        x11 = self.x11 = ctypes.CDLL("libX11.so.6")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XGetGeometry.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                     ctypes.POINTER(ctypes.c_ulong)] + \
            [ctypes.POINTER(ctypes.c_int)] * 2 + [ctypes.POINTER(ctypes.c_uint)] * 4
        x11.XGetImage.restype = ctypes.POINTER(self.XImage)
        x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                  ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x11.XFree.argtypes = [ctypes.c_void_p]
        # A window that is not viewable just gives no frame, instead of ending the program.
        self.ignore = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(
            lambda display, error: 0)
        x11.XSetErrorHandler(self.ignore)
        self.display = x11.XOpenDisplay(None)
        if not self.display:
            sys.exit("no X display")
        self.window = window

    def grab(self):
        root, x, y = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_int()
        width, height, border, depth = (ctypes.c_uint() for _ in range(4))
        if not self.x11.XGetGeometry(self.display, self.window, root, x, y, width, height, border,
                                     depth):
            return None
        image = self.x11.XGetImage(self.display, self.window, 0, 0, width, height,
                                   0xffffffff, 2)  # all planes, ZPixmap
        if not image:
            return None
        got = image.contents
        try:
            if got.bits_per_pixel != 32 or got.byte_order != 0:
                sys.exit("frames of 32 bits a pixel, least significant byte first, only")
            raw = ctypes.string_at(got.data, got.bytes_per_line * got.height)
            pixels = np.frombuffer(raw, np.uint8).reshape(got.height, got.bytes_per_line // 4, 4)
            return np.ascontiguousarray(pixels[:, :got.width, 2::-1])  # BGRX to RGB
        finally:
            self.x11.XFree(got.data)
            self.x11.XFree(image)


def parse_check(check):
    """(control, kind, expected texts): kind "=", ">" (wrapped) or "@" (cursor)."""
    if "|=" in check:
        name, texts = check.split("|=", 1)
        return name, "=", texts.replace("\\n", "\n").split("|")
    name, _, text = check.partition("=")
    kind = name[-1] if name[-1] in ">@" else "="
    name = name.rstrip(">@")
    return name, kind, [text.replace("\\n", "\n")] if text else []


def check_frame(pixels, args):
    """Every check on one picture: (failures, report lines, whether it shows two cursors)."""
    background, form = FORMS[args.form]()
    for entry in args.colors:
        name, colours = entry.split("=")
        fg, bg = colours.split("/")
        form[name].fg, form[name].bg = parse_colour(fg), parse_colour(bg)
    top = inner_top(pixels)
    inner_h, inner_w = (pixels.shape[0] - top) / args.ratio, pixels.shape[1] / args.ratio
    units = Units(int(inner_h * 15 / 5), int(inner_w * 15 * 99 / 100), inner_w * 15,
                  args.outer / args.ratio * 15)
    corner = pixels[-2, -2]
    failures, lines, two = 0, [], False
    if np.abs(corner.astype(int) - background).max() > 12:
        lines.append("FAIL inner area: %s at its bottom-right corner, expected %s" % (
            tuple(corner), background))
        failures += 1
    for check in args.checks:
        name, kind, expected = parse_check(check)
        ctl = form[name]
        rect = rectangle(form, name, units, args.ratio, top)
        if ctl.grows:  # down to a whole line of its type, leading included
            rect[3] = max(rect[3], int(1.3 * round(ctl.points * 96 / 72) * args.ratio))
        if name == "shpScale":
            ok, message = check_bar(pixels, ctl, rect, expected[0] if expected else "empty",
                                    args.ratio)
        elif kind == "@":
            verdict, message = check_cursor(pixels, ctl, rect, expected[0] if expected else "",
                                            args.ratio)
            ok, two = verdict == "ok", two or verdict == "two"
        else:
            picture = pixels
            if ctl.beside:
                picture = pixels.copy()
                for other in ctl.beside:
                    x, y, w, h = rectangle(form, other, units, args.ratio, top)
                    picture[y:y + h, x:x + w] = ctl.bg
            ok, message = check_text(picture, ctl, rect, expected, args.ratio, kind == ">")
            crowded = overlaps(form, name, units, args.ratio, top) if ctl.alone else []
            if crowded:
                ok, message = False, "%s; overlaps %s" % (message, ", ".join(crowded))
        lines.append("%s %s: %s" % ("ok  " if ok else "FAIL", name, message))
        failures += not ok
    return failures, lines, two


def check_frames(args):
    """Frames of the window until one passes and a blink period more has been seen."""
    frames = WindowFrames(int(args.window, 0))
    start = time.monotonic()
    passed_at = None
    count = 0
    while True:
        pixels = frames.grab()
        now = time.monotonic()
        if pixels is None:
            if now - start > args.wait:
                sys.exit("no frame of window %s" % args.window)
            continue
        count += 1
        failures, lines, two = check_frame(pixels, args)
        verdict = None
        if two:
            verdict = 1
        elif failures and passed_at is not None and args.steady:
            lines.insert(0, "a frame %.2f s after the first to pass:" % (now - passed_at))
            verdict = 1
        elif not failures and passed_at is None:
            passed_at = now
            kept = lines
        if passed_at is not None and now - passed_at >= args.seconds and verdict is None:
            lines, verdict = kept + ["%d frames in %.2f s" % (count, now - start)], 0
        if verdict is None and passed_at is None and now - start > args.wait:
            lines.append("no frame passed in %.1f s (%d frames)" % (now - start, count))
            verdict = 1
        if verdict is not None:
            Image.fromarray(pixels).save(args.shot)
            print("\n".join(lines))
            return verdict


def main(argv):
    if len(argv) == 3 and argv[1] == "--message":
        return check_message(argv[2])
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[1])
    parser.add_argument("shot")
    parser.add_argument("form", choices=FORMS)
    parser.add_argument("--ratio", type=int, default=1)
    parser.add_argument("--outer", type=int, required=True)
    parser.add_argument("--colors", action="append", default=[])
    parser.add_argument("--window")
    parser.add_argument("--steady", action="store_true")
    parser.add_argument("--seconds", type=float, default=1.2)
    parser.add_argument("--wait", type=float, default=10)
    parser.add_argument("checks", nargs="*")
    args = parser.parse_intermixed_args(argv[1:])
    if args.window:
        return check_frames(args)
    failures, lines, _ = check_frame(np.asarray(Image.open(args.shot).convert("RGB")), args)
    print("\n".join(lines))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
