#!/usr/bin/env python3
"""Reads what the program shows through its accessibility tree (AT-SPI over D-Bus).

Run inside the program's D-Bus session (lib-ime.sh's e2e_ime_run does it). A control is found
by its accessible name; its value is the text of a text box, else the accessible description
(what a named label shows), else its name.

  a11y.py dump                         every control: role, name, description, text
  a11y.py value NAME                   prints the value of the control named NAME
  a11y.py wait NAME VALUE [SECONDS]    waits until that value is VALUE (exit 1 on timeout,
                                       printing the last value seen)
  a11y.py change NAME VALUE [SECONDS]  waits until that value is no longer VALUE, prints it
"""

import sys
import time

import dbus

ACCESSIBLE = "org.a11y.atspi.Accessible"
TEXT = "org.a11y.atspi.Text"
PROPERTIES = "org.freedesktop.DBus.Properties"
ROOT = ("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root")
TEXT_ROLES = {"text", "entry", "paragraph", "password text"}


def a11y_bus():
    session = dbus.SessionBus()
    launcher = session.get_object("org.a11y.Bus", "/org/a11y/bus")
    return dbus.bus.BusConnection(launcher.GetAddress(dbus_interface="org.a11y.Bus"))


def controls(bus, reference=ROOT):
    """Yields (role, name, description, text) for every object under `reference`."""
    node = bus.get_object(reference[0], reference[1], introspect=False)
    properties = dbus.Interface(node, PROPERTIES)
    role = str(node.GetRoleName(dbus_interface=ACCESSIBLE))
    name = str(properties.Get(ACCESSIBLE, "Name"))
    description = str(properties.Get(ACCESSIBLE, "Description"))
    text = None
    if role in TEXT_ROLES and TEXT in node.GetInterfaces(dbus_interface=ACCESSIBLE):
        text = str(node.GetText(0, -1, dbus_interface=TEXT))
    yield role, name, description, text
    for child in node.GetChildren(dbus_interface=ACCESSIBLE):
        yield from controls(bus, (str(child[0]), str(child[1])))


def value_of(name, description, text):
    if text is not None:
        return text
    return description if description else name


def find_value(bus, wanted):
    for _role, name, description, text in controls(bus):
        if name == wanted:
            return value_of(name, description, text)
    return None


def main(argv):
    if len(argv) < 2 or argv[1] not in ("dump", "value", "wait", "change"):
        sys.stderr.write(__doc__)
        return 2
    bus = a11y_bus()
    command = argv[1]
    if command == "dump":
        for role, name, description, text in controls(bus):
            print("\t".join([role, name, description, "" if text is None else repr(text)]))
        return 0
    if command == "value":
        value = find_value(bus, argv[2])
        if value is None:
            return 1
        print(value)
        return 0
    wanted, expected = argv[2], argv[3]
    deadline = time.monotonic() + (float(argv[4]) if len(argv) > 4 else 5.0)
    value = None
    while True:
        try:
            value = find_value(bus, wanted)
        except dbus.DBusException:
            value = None  # the tree changed while it was being read: read it again
        if command == "wait" and value == expected:
            return 0
        if command == "change" and value is not None and value != expected:
            print(value)
            return 0
        if time.monotonic() >= deadline:
            print(value if value is not None else "(no control named %s)" % wanted)
            return 1
        time.sleep(0.1)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
