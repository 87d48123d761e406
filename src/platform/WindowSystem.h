#pragma once

namespace tokotoko {

// Whether the window system is a Wayland compositor rather than an X server: a Wayland client
// cannot place its windows, offers the clipboard only after some input, and gets keycodes from
// whatever keymap the sending keyboard brings.
bool onWayland();

} // namespace tokotoko
