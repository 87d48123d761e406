#pragma once

#include "KeyNameTable.h"
#include "common/FormWindow.h"

#include <QHash>

#include <optional>

class QLabel;

namespace tokotoko {

// The key guide "押せばわかる": whatever key is pressed, its name is shown in very large white
// type with its reading in yellow below, and both go to the clipboard, the reading last.
//
// The input method stays off and no control takes the focus, so every key, the Japanese ones
// included, reaches Form_KeyDown as a key. Alt, F10 and the Windows key answer each physical
// press with one posted pair of key events (the menu-key toggle keeps the posted key down
// from posting again). The menu bar never takes the keyboard after a tap of Alt, so the next
// key is still named. Alt+F4 and the window system's close command go back to the entrance;
// a double-click on the key name ends the program.
class frmKeyGuide final : public FormWindow {
    Q_OBJECT
public:
    explicit frmKeyGuide(Platform& platform);
    ~frmKeyGuide() override;

    void Form_Load() override;
    void Form_Resize() override;
    void Form_KeyDown(int keyCode, int shift) override;
    void lblKey_DblClick();
    void mnuVersion_Click();

    bool menuKeyToggle() const { return m_menuKeyToggle; }

protected:
    void createControls() override;

private:
    void actOnPlainKey(int keyCode);
    void SwitchOffInputMethod();
    void MenuKeyToggle(int virtualKey);
    void showEntry(const KeyNameEntry& entry);
    void announceEntry(const KeyNameEntry& entry);
    void copyLabelsToClipboard();
    void fitKeyLabelToItsText();

    bool m_menuKeyToggle = true;
    std::optional<KeyNameEntry> m_shownEntry; // by the key being handled
    int m_keyLabelLayoutHeight = 0;           // pixels, as the layout placed lblKey
    QHash<QString, int> m_keyLineHeights;     // pixels, by key name, at m_lineHeightsDpi
    int m_lineHeightsDpi = 0;

    QLabel* lblKey = nullptr;
    QLabel* lblYomi = nullptr;
    QLabel* Label2 = nullptr;
};

} // namespace tokotoko
