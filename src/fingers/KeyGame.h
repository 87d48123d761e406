#pragma once

#include "FingerTable.h"

#include "common/FormWindow.h"
#include "common/Layout.h"

#include <QColor>
#include <QString>
#include <QtGlobal>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace tokotoko {

class Shape;

// What tells the two key games apart; everything else they share.
struct KeyGameVariant {
    QString formName; // frmYubiren2, frmYubiren3
    QString title;    // the window title
    fingers::KeySet keySet;
    qint16 gameSeconds; // 30 or 60
    QColor barColor;    // of shpScale
    QString endCaption; // the menu item that closes the window
};

extern const KeyGameVariant kAlphabetGame;
extern const KeyGameVariant kSymbolsAndNumbersGame;

// A timed key game: keys drawn at random from a set, each shown with the finger that strikes
// it; a right character counts a hit and draws the next key, a wrong one counts a miss and
// sounds the cue. When the time is up the score (hits minus misses) is shown and copied.
//
// A game is begun with the START/RETRY button or with Space at the window. The button is the
// only control that takes the focus: while it has it (after opening) keys go to the button;
// during and after a game every key reaches the window and is judged, also the ones typed
// after the game ended (against the empty key).
class KeyGame : public FormWindow {
    Q_OBJECT
public:
    KeyGame(Platform& platform, const KeyGameVariant& variant);

    const KeyGameVariant& variant() const { return m_variant; }
    bool gameRunning() const;
    qint16 hits() const { return m_hits; }
    qint16 misses() const { return m_misses; }
    qint16 secondsLeft() const { return m_secondsLeft; }

    void Form_Load() override;
    void Form_Resize() override;
    void Form_KeyDown(int keyCode, int shift) override;
    void Form_KeyPress(int& keyAscii) override;
    // Counts a hit and asks the next key.
    void CurrentStatus();
    void cmdStart_Click();
    void Timer1_Timer();
    void mnuEnd_Click();
    void mnuHintNashi_Click();
    void mnuHintAri_Click();
    void mnuVersion_Click();

protected:
    void createControls() override;

private:
    void createLabels();
    void createMenus();
    void initialise();
    void endGame();
    void showTimeBar();
    void judgeMiss();
    void judgeHit();

    const KeyGameVariant m_variant;
    qint16 m_entryNumber = 0;
    qint16 m_secondsLeft = 0;
    qint16 m_hits = 0;
    qint16 m_misses = 0;
    // The Space that started a game from the window is not a typed character of that game.
    bool m_startSpacePending = false;
    // The bar as the layout placed it, in twips: ticks change only its width.
    TwipsRect m_barPlace;

    QFrame* Frame1 = nullptr;
    QLabel* lblKey = nullptr;
    QLabel* lblYubi = nullptr;
    QLabel* lblTime = nullptr;
    QLabel* lblMaru = nullptr;
    QLabel* lblBatsu = nullptr;
    QLabel* lblTokuten = nullptr;
    Shape* shpBox = nullptr;
    Shape* shpScale = nullptr;
    QPushButton* cmdStart = nullptr;
    QLabel* Label1 = nullptr;
    QTimer* Timer1 = nullptr;
};

} // namespace tokotoko
