#pragma once

#include "common/FormWindow.h"

#include <QtGlobal>

class QLabel;

namespace tokotoko {

// The finger guide drill "どのゆびつかうの": one key in very large type with the finger that
// strikes it above, cycling through the 30 keys of the guide sequence. A right character
// brings the next key and copies its reading (finger and key in kana) to the clipboard; a
// wrong one sounds the cue and copies the asked key. Nothing is counted or timed. No control
// takes the focus, so every key reaches the window.
class frmYubiren final : public FormWindow {
    Q_OBJECT
public:
    explicit frmYubiren(Platform& platform);

    void Form_Load() override;
    void Form_Resize() override;
    void Form_KeyDown(int keyCode, int shift) override;
    void Form_KeyPress(int& keyAscii) override;
    // Presents the next entry of the guide sequence and copies its reading.
    void CurrentStatus();
    void mnuEnd_Click();
    void mnuHintoNashi_Click();
    void mnuHintoAri_Click();
    void mnuVersion_Click();

protected:
    void createControls() override;

private:
    void createMenus();

    qint16 m_position = 0; // number of the entry presented, 1 to 30

    QLabel* lblKey = nullptr;
    QLabel* lblYubiHyoji = nullptr;
    QLabel* lblYubi = nullptr;
    QLabel* Label1 = nullptr;
};

} // namespace tokotoko
