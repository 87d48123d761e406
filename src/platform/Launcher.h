#pragma once

namespace tokotoko {

// Starts other programs of the desktop, detached and without a shell.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts the desktop's text editor with no file; false when none could be started.
    virtual bool startTextEditor() = 0;
};

} // namespace tokotoko
