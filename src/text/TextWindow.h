#pragma once

// The four text windows
// ---------------------
// The line practices (src/lines) and the timed challenges (src/timed) are TextWindows: the
// learner opens a practice text, reads a line in the display box (txtHyoji, in a black band,
// Frame1), types it into the input box (txtNyuryoku) and presses Enter; counts of right and
// wrong lines, a time and the two control keys (lblKey_Guide) are shown below. Everything
// they share lives here: those controls and their places, the file menu and the version item,
// loading and unloading, the Enter that never becomes typed text, the wrong line's count and
// cue, where a presented text goes (TextPresenter), and the results line shown at the end of a
// run (lblKekka: speed and accuracy, from the characters of the lines judged, RunResults.h). A
// subclass adds the exercise itself: its own controls and menus, its state, and its keys
// (Form_KeyDown) and ticks (Timer1_Timer).

#include "PracticeText.h"
#include "RunResults.h"
#include "TextWindowKit.h"

#include "common/FormWindow.h"

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

class QFrame;
class QLabel;
class QTimer;

namespace tokotoko {

class InputBox;
class KanjiReadings;
class OpenFileDialog;

// What screen readers call the shared controls.
struct TextWindowNames {
    QString display; // txtHyoji
    QString input;   // txtNyuryoku
    QString time;    // lblTime
    QString right;   // lblMaru
    QString wrong;   // lblBatsu
};

class TextWindow : public FormWindow {
    Q_OBJECT
public:
    ~TextWindow() override;

    const TextLanguageTraits& traits() const { return m_traits; }
    const PracticeText& practiceText() const { return m_text; }
    qint16 rightCount() const { return m_rightCount; }
    qint16 wrongCount() const { return m_wrongCount; }

    void Form_Load() final;
    void Form_Resize() final;
    virtual void Timer1_Timer() = 0;
    void txtNyuryoku_KeyPress(int& keyAscii);
    void mnuFileOpen_Click();
    void mnuFileText_Click();
    void mnuEnd_Click();
    void mnuVersion_Click();

protected:
    TextWindow(Platform& platform, TextLanguage language, const QString& formName,
               const QString& caption, const TextWindowNames& names);

    // After the shared controls, and drawn over them.
    virtual void createOwnControls() = 0;
    // Menus of the menu bar between the file menu and the version item.
    virtual void createOwnMenus() {}
    // The exercise's own part of loading: its state and the labels it alone sets.
    virtual void loadExercise() = 0;
    // The exercise's own rows of the layout.
    virtual void placeOwnControls(const LayoutUnits& u) = 0;
    // What the open command does after reading a file in this exercise, if anything beyond
    // storing it (the line practices start the text from its first line).
    virtual std::function<void()> restartLinesAfterOpen() { return {}; }

    void createControls() final;
    void Form_Unload() override;
    void Control_KeyPress(QWidget* control, int& keyAscii) override;

    // A part of the window's outer width, in twips.
    float ofOuterWidth(double factor) const;
    // The rows every text window's layout shares for the yellow label at the right of the
    // counts (lblGyosu, lblTokuten).
    void placeYellowLabel(QLabel* label, const LayoutUnits& u);
    // A yellow 60-point label of the exercise's own, in the face its language gives it.
    QLabel* makeYellowLabel(const QString& name, const QString& accessibleName);

    // Hands a text on for reading: the clipboard and the screen reader (Japanese) or the
    // voice (English).
    void present(const QString& text);
    QString keyAnnouncementLead() override;
    // A wrong line: counted, shown, and answered with the language's cue.
    void countWrongLine();
    // A right line, counted; what lblMaru shows of it is the exercise's own.
    void countRightLine();
    void showRightLines(int lines);
    // Both counts back to 0, and shown so; the results line goes with them.
    void resetCounts();
    // The line that ends a line practice: typed right, though rightCount leaves it out.
    void countFinishingLine(const QString& line);
    // The end of a run that took `runMs` on its clock: the results line is shown and announced
    // after what the window itself announces at the end. Shown again after an end that comes
    // again with nothing judged in between, it keeps its values.
    void showResults(qint64 runMs);
    bool hasResults() const { return !m_results.isEmpty(); }

    PracticeText m_text;
    qint16 m_rightCount = 0;
    qint16 m_wrongCount = 0;

    QFrame* Frame1 = nullptr;
    DisplayBox* txtHyoji = nullptr;
    InputBox* txtNyuryoku = nullptr;
    QLabel* lblTime = nullptr;
    QLabel* lblMaru = nullptr;
    QLabel* lblBatsu = nullptr;
    QLabel* lblKey_Guide = nullptr;
    QLabel* lblKekka = nullptr;
    QTimer* Timer1 = nullptr;
    OpenFileDialog* CommonDialog1 = nullptr;

private:
    enum class Verdict { None, Right, Wrong };

    void createTextBoxes();
    void createLabels();
    void createMenus();
    void createResultsLabel();
    void placeResultsLabel(const LayoutUnits& u);
    void clearResults();

    const TextLanguageTraits& m_traits;
    const QString m_caption;
    const TextWindowNames m_names;
    TextPresenter m_presenter;
    // Japanese windows: the readings that tell a candidate kanji from its homophones.
    std::unique_ptr<KanjiReadings> m_kanjiReadings;
    Verdict m_verdict = Verdict::None; // of the line judged by the key being handled
    LineTally m_tally;                 // of the lines judged since the counts were last reset
    ResultsText m_results;             // on show in lblKekka, or empty
};

// "○ " and a count of right lines.
QString rightLinesText(int count);
// "×" and a count of wrong lines, read as the mark, a space and the number; a negative number
// brings its own sign instead of the space.
QString wrongLinesText(int count);

} // namespace tokotoko
