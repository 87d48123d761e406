#pragma once

#include "Exercises.h"

#include "common/FormWindow.h"

#include <QString>

#include <array>

class QLabel;
class QPlainTextEdit;
class QTimer;

namespace tokotoko {

class FormCatalog;

// The start-up window "とことこいりぐち": a turning title and the eight exercise entries in two
// columns. Arrows move the focus through the entries (wrapping round), Enter or Space opens
// the focused entry, the main-row digits 1 to 8 open any entry, Escape ends the program.
// The focused entry is drawn inverted and its whole text goes to the clipboard.
class frmEntrance final : public FormWindow {
    Q_OBJECT
public:
    static constexpr int kEntryCount = kExerciseCount;

    frmEntrance(Platform& platform, FormCatalog& exercises);

    // "１", CR LF, "押せばわかる" and so on, for entries 0 to 7.
    static QString entryText(int index);
    static QString entryName(int index); // txtKeyGuide ... txtEnglish
    static const QString kInitialTitle;

    void Form_Load() override;
    void Form_Resize() override;
    void Form_KeyDown(int keyCode, int shift) override;
    void Form_KeyPress(int& keyAscii) override;
    void txtEntry_KeyDown(int index, int keyCode, int shift);
    void txtEntry_GotFocus(int index);
    void txtEntry_LostFocus(int index);
    void Timer1_Timer();
    void mnuEnd_Click();
    void mnuVersion_Click();

protected:
    void createControls() override;
    void Control_KeyDown(QWidget* control, int keyCode, int shift) override;
    void Control_GotFocus(QWidget* control) override;
    void Control_LostFocus(QWidget* control) override;

private:
    void SendTabKey(int backwards);
    void showEntryWindow(int index);
    int entryIndexOf(const QWidget* control) const;

    FormCatalog& m_exercises;
    QString m_titleText; // the title caption as read at the last tick

    QLabel* lblTitle = nullptr;
    QTimer* Timer1 = nullptr;
    std::array<QPlainTextEdit*, kEntryCount> m_entries{};
};

} // namespace tokotoko
