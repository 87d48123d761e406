#!/usr/bin/env python3
"""What an input method showed a program, read from dbus-monitor's record of its messages.

  ime_bus_log.py fcitx5|ibus < dbus-monitor output

Prints one line for each thing shown, in order, a line the same as the one before left out:
  preedit<TAB>the whole composition<TAB>its highlighted (focused) clause, if any
  commit<TAB>the text committed
An empty composition (IBus hid it, or fcitx5 sent none) prints "preedit" with empty fields.

fcitx5 (session bus, org.fcitx.Fcitx.InputContext1): UpdateFormattedPreedit(a(si) segments,
i cursor), a segment's format flags marking the highlighted one; CommitString(s).
IBus (its own bus, org.freedesktop.IBus.InputContext): UpdatePreeditText(v IBusText,
u cursor, b visible), its attributes giving the highlighted clause a background colour;
ShowPreeditText, HidePreeditText; CommitText(v IBusText).
"""

import re
import sys

FCITX_HIGHLIGHT = 1 << 4  # fcitx::TextFormatFlag::HighLight
IBUS_ATTR_BACKGROUND = 3  # IBUS_ATTR_TYPE_BACKGROUND

SCALAR = re.compile(r'^(?:u?int(?:16|32|64)|byte|double) (\S+)$')


def messages(lines):
    """Yields (member, body lines) for each message of dbus-monitor's text output."""
    member, body = None, []
    for line in lines:
        if line and not line[0].isspace():
            if member is not None:
                yield member, body
            found = re.search(r'\bmember=(\w+)', line)
            member = found.group(1) if found and line.startswith('signal') else None
            body = []
        elif member is not None:
            body.append(line.strip())
    if member is not None:
        yield member, body


def tokens(body):
    """dbus-monitor's lines as tokens: a "variant" prefix is dropped (its value follows)."""
    for line in body:
        while line.startswith('variant'):
            line = line[len('variant'):].strip()
        if line:
            yield line


def values(stream, closing=None):
    """The values up to the `closing` token: structures and arrays as lists."""
    out = []
    for token in stream:
        if token == closing:
            return out
        if token == 'struct {':
            out.append(values(stream, '}'))
        elif token == 'array [':
            out.append(values(stream, ']'))
        elif token == 'dict entry(':
            out.append(values(stream, ')'))
        elif token.startswith('string "') and token.endswith('"'):
            out.append(token[len('string "'):-1])
        elif token.startswith('boolean '):
            out.append(token == 'boolean true')
        elif SCALAR.match(token):
            out.append(int(float(SCALAR.match(token).group(1))))
        else:
            out.append(token)
    return out


def ibus_text(value):
    """(text, highlighted) of an IBusText: ("IBusText", {}, text, ("IBusAttrList", {}, [...]))."""
    text = value[2]
    highlighted = ''
    for attribute in value[3][2]:
        _name, _attachments, kind, _value, start, end = attribute
        if kind == IBUS_ATTR_BACKGROUND:
            highlighted = text[start:end]
    return text, highlighted


def fcitx5_line(member, args, _shown):
    if member == 'UpdateFormattedPreedit':
        segments = args[0]
        text = ''.join(segment[0] for segment in segments)
        highlighted = ''.join(s[0] for s in segments if s[1] & FCITX_HIGHLIGHT)
        return 'preedit', text, highlighted
    if member == 'CommitString':
        return 'commit', args[0]
    return None


def ibus_line(member, args, shown):
    """The line for one message; `shown` holds the last composition, which Show shows again."""
    if member == 'UpdatePreeditText':
        shown[:] = ibus_text(args[0])
        return ('preedit',) + (tuple(shown) if args[2] else ('', ''))
    if member == 'ShowPreeditText':
        return ('preedit',) + tuple(shown)
    if member == 'HidePreeditText':
        return 'preedit', '', ''
    if member == 'CommitText':
        return 'commit', ibus_text(args[0])[0]
    return None


def lines_shown(framework, source):
    line_for = fcitx5_line if framework == 'fcitx5' else ibus_line
    shown = ['', '']
    for member, body in messages(source):
        try:
            line = line_for(member, values(iter(list(tokens(body)))), shown)
        except (IndexError, TypeError, ValueError):
            continue  # the last message, which dbus-monitor is still writing
        if line:
            yield line


def main(argv):
    if len(argv) != 2 or argv[1] not in ('fcitx5', 'ibus'):
        sys.stderr.write(__doc__)
        return 2
    last = None
    for line in lines_shown(argv[1], sys.stdin.read().splitlines()):
        if line != last:
            print('\t'.join(line))
        last = line
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
