#pragma once

#include <QString>
#include <QStringList>

namespace tokotoko {

// The running program as a whole.
class AppControl {
public:
    virtual ~AppControl() = default;
    // Ends the whole program at once with status 0, without close events in any window.
    virtual void endProgram() = 0;
    // Folders searched, in order, for the files shipped with the program (cues, practice
    // texts): the program's own folder first, then its installed data folder.
    virtual QStringList dataFolders() const = 0;
};

} // namespace tokotoko
