#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QMenu;

namespace tokotoko {

// While a screen reader runs, Qt holds every key press back until the accessibility registry
// has answered (up to 100 ms), but looks up shortcuts at once. So in a quick Alt+F the F
// opens the File menu first, and the Alt pressed before it arrives afterwards, at the open
// menu, which closes on an Alt press: the learner's next key (X) then lands in the window.
// This filter drops that late Alt press at a menu that opened while Alt was down; an Alt
// pressed again after its release still closes the menu.
class HeldAltGuard final : public QObject {
public:
    // `screenReaderRuns`: whether Qt may be holding keys back.
    explicit HeldAltGuard(std::function<bool()> screenReaderRuns, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool()> m_screenReaderRuns;
    QPointer<QMenu> m_menu; // opened while Alt was down; its late Alt press not seen yet
};

} // namespace tokotoko
