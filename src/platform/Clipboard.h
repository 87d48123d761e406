#pragma once

#include <QString>

namespace tokotoko {

// The system clipboard, written and never read: every copy replaces the contents with one
// plain text. A failure is swallowed by the implementation; callers never see one.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void setText(const QString& text) = 0;
};

} // namespace tokotoko
