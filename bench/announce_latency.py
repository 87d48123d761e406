#!/usr/bin/env python3
"""Times each announcement of the input box from the input-method event that caused it.

  announce_latency.py fcitx5|ibus IM_BUS_ADDRESS A11Y_BUS_ADDRESS OUT_FILE

Watches two buses in one process, so both sides are timed by one clock: the input method's
messages to the program (fcitx5: UpdateFormattedPreedit and CommitString on the session bus;
IBus: UpdatePreeditText, HidePreeditText and CommitText on its own bus) and, on the
accessibility bus, the notification the program shows for the screen reader (an object's
"showing" state turned on, which is what Orca speaks). Writes one line per notification until
killed: the milliseconds since the first and since the last input-method event before it (the
one after which the box said what it shows), and the number of those events.
"""

import sys
import time

import dbus
import dbus.mainloop.glib
from gi.repository import GLib

IM_MEMBERS = {
    'fcitx5': ('org.fcitx.Fcitx.InputContext1', {'UpdateFormattedPreedit', 'CommitString'}),
    'ibus': ('org.freedesktop.IBus.InputContext',
             {'UpdatePreeditText', 'HidePreeditText', 'CommitText'}),
}


def monitor(address, rules, on_message):
    """A connection that sees the messages of `rules` addressed to others: as a monitor, or,
    on a bus without monitors (ibus-daemon's own), by eavesdropping."""
    bus = dbus.bus.BusConnection(address)
    bus.add_message_filter(on_message)
    try:
        bus.call_blocking('org.freedesktop.DBus', '/org/freedesktop/DBus',
                          'org.freedesktop.DBus.Monitoring', 'BecomeMonitor', 'asu', (rules, 0))
    except dbus.DBusException:
        for rule in rules:
            bus.add_match_string(rule + ",eavesdrop='true'")
    return bus


def main():
    framework, im_address, a11y_address, out_path = sys.argv[1:5]
    interface, members = IM_MEMBERS[framework]
    burst = []
    out = open(out_path, 'w', buffering=1)

    def on_im(_bus, message):
        if message.get_interface() == interface and message.get_member() in members:
            burst.append(time.monotonic())

    def on_a11y(_bus, message):
        if (message.get_member() == 'StateChanged' and burst
                and message.get_args_list()[:2] == ['showing', 1]):
            now = time.monotonic()
            out.write('%.3f %.3f %d\n' % ((now - burst[0]) * 1000, (now - burst[-1]) * 1000,
                                          len(burst)))
            burst.clear()

    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    im_rules = ["type='signal',interface='%s',member='%s'" % (interface, m) for m in members]
    buses = [monitor(im_address, im_rules, on_im),
             monitor(a11y_address, ["type='signal',interface='org.a11y.atspi.Event.Object',"
                                    "member='StateChanged'"], on_a11y)]
    print('ready', flush=True)
    GLib.MainLoop().run()
    del buses


if __name__ == '__main__':
    main()
