#include "frmEntrance.h"

#include "FormCatalog.h"

#include "common/Controls.h"
#include "common/Fonts.h"
#include "drawing/LargeText.h"
#include "platform/KeyTranslation.h"
#include "platform/Platform.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>

namespace tokotoko {
namespace {

const Exercise& exerciseOf(int index) {
    return exercises().at(static_cast<std::size_t>(index));
}

// Tops of the four rows of entries, in row units.
constexpr std::array<double, 4> kRowTops{0.8, 1.8, 2.8, 3.8};

// An entry is read, never typed into, and takes no input method: with Japanese input on (mozc's
// mode outlives a Japanese window; under IBus it is the whole desktop's) the digit keys must
// still reach the window. A read-only QPlainTextEdit says it takes one, whatever its
// WA_InputMethodEnabled.
class EntryBox final : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override {
        return query == Qt::ImEnabled ? QVariant(false) : QPlainTextEdit::inputMethodQuery(query);
    }
};

void showFocused(QPlainTextEdit* entry, bool focused) {
    if (focused)
        setColors(entry, colors::white, colors::black, true);
    else
        setColors(entry, colors::yellow, colors::blue, true);
}

} // namespace

const QString frmEntrance::kInitialTitle = QStringLiteral("とことこ Ver.３   ");

frmEntrance::frmEntrance(Platform& platform, FormCatalog& exercises)
    : FormWindow(platform)
    , m_exercises(exercises) {
    setObjectName(QStringLiteral("frmEntrance"));
}

// The full-width digit of the entry, CR LF, and its caption.
QString frmEntrance::entryText(int index) {
    const QChar digit(static_cast<char16_t>(u'１' + index));
    return digit + QStringLiteral("\r\n") + QString::fromUtf16(exerciseOf(index).caption);
}

QString frmEntrance::entryName(int index) {
    return QString::fromLatin1(exerciseOf(index).entryName);
}

void frmEntrance::createControls() {
    setWindowTitle(QStringLiteral("とことこいりぐち"));
    setColors(client(), colors::white, colors::navy, true);

    lblTitle = makeLabel(client(), QStringLiteral("lblTitle"), pGothic(48), colors::yellow,
                         Qt::AlignCenter);
    setColors(lblTitle, colors::yellow, colors::navy, true);
    // The title turns every 500 ms: a fixed name keeps each turn off the accessibility bus,
    // where a screen reader would hear of it for as long as the program runs.
    lblTitle->setAccessibleName(kInitialTitle.trimmed());

    for (int i = 0; i < kEntryCount; ++i) {
        auto* entry = new EntryBox(client());
        entry->setObjectName(entryName(i));
        entry->setAccessibleName(QString::fromUtf16(exerciseOf(i).caption));
        entry->setReadOnly(true);
        entry->setTabChangesFocus(true);
        entry->setContextMenuPolicy(Qt::NoContextMenu);
        entry->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        entry->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        entry->setFocusPolicy(Qt::StrongFocus);
        entry->setFont(pGothic(36));
        showFocused(entry, false);
        m_entries[static_cast<std::size_t>(i)] = entry;
    }
    for (int i = 0; i + 1 < kEntryCount; ++i)
        setTabOrder(m_entries[static_cast<std::size_t>(i)],
                    m_entries[static_cast<std::size_t>(i + 1)]);

    Timer1 = new QTimer(client());
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &frmEntrance::Timer1_Timer);

    QMenu* mnuFile = formMenuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    QAction* mnuEnd = mnuFile->addAction(QStringLiteral("終了(&X or Escape)"));
    mnuEnd->setObjectName(QStringLiteral("mnuEnd"));
    connect(mnuEnd, &QAction::triggered, this, &frmEntrance::mnuEnd_Click);
    QAction* mnuVersion = formMenuBar()->addAction(QStringLiteral("バージョン(&V)"));
    mnuVersion->setObjectName(QStringLiteral("mnuVersion"));
    connect(mnuVersion, &QAction::triggered, this, &frmEntrance::mnuVersion_Click);
}

void frmEntrance::Form_Load() {
    placeFullScreen();
    setKeyPreview(true);
    Timer1->start(500);
    lblTitle->setText(kInitialTitle);
    setKeyPreview(true);
    for (int i = 0; i < kEntryCount; ++i) {
        // The box shows line feeds; the stored text with its CR LF is what the clipboard gets.
        m_entries[static_cast<std::size_t>(i)]->setPlainText(
            QString(entryText(i)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }
    // The first entry has the focus from the start, even before the window system has
    // activated the window.
    focusControl(m_entries[0]);
}

void frmEntrance::Form_Resize() {
    const LayoutUnits u = units();
    place(lblTitle, scaled(u.h, 0.6), scaled(u.w, 0.9), scaled(u.h, 0.2), scaled(u.w, 0.05));
    for (int i = 0; i < kEntryCount; ++i) {
        const double top = kRowTops[static_cast<std::size_t>(i % 4)];
        const double left = i < 4 ? 0.05 : 0.55;
        place(m_entries[static_cast<std::size_t>(i)], scaled(u.h, 0.8), scaled(u.w, 0.4),
              scaled(u.h, top), scaled(u.w, left));
    }
}

void frmEntrance::Form_KeyDown(int keyCode, int) {
    if (keyCode == vk::Down) {
        SendTabKey(0);
    } else if (keyCode == vk::Up) {
        SendTabKey(1);
    } else if (keyCode >= vk::Digit0 + 1 && keyCode <= vk::Digit0 + kEntryCount) {
        showEntryWindow(keyCode - (vk::Digit0 + 1));
    } else if (keyCode == vk::Escape) {
        platform().app().endProgram();
    }
}

void frmEntrance::Form_KeyPress(int& keyAscii) {
    if (keyAscii == '\r')
        keyAscii = 0; // no line break ever reaches an entry
}

void frmEntrance::txtEntry_KeyDown(int index, int keyCode, int) {
    if (keyCode == vk::Enter || keyCode == vk::Space)
        showEntryWindow(index);
}

void frmEntrance::txtEntry_GotFocus(int index) {
    showFocused(m_entries[static_cast<std::size_t>(index)], true);
    platform().clipboard().setText(entryText(index));
}

void frmEntrance::txtEntry_LostFocus(int index) {
    showFocused(m_entries[static_cast<std::size_t>(index)], false);
}

void frmEntrance::Timer1_Timer() {
    m_titleText = lblTitle->text();
    setCentredLine(lblTitle, m_titleText.mid(1) + m_titleText.left(1));
}

void frmEntrance::mnuEnd_Click() {
    platform().app().endProgram();
}

void frmEntrance::mnuVersion_Click() {
    showVersionBox();
}

void frmEntrance::Control_KeyDown(QWidget* control, int keyCode, int shift) {
    const int index = entryIndexOf(control);
    if (index >= 0)
        txtEntry_KeyDown(index, keyCode, shift);
}

void frmEntrance::Control_GotFocus(QWidget* control) {
    const int index = entryIndexOf(control);
    if (index >= 0)
        txtEntry_GotFocus(index);
}

void frmEntrance::Control_LostFocus(QWidget* control) {
    const int index = entryIndexOf(control);
    if (index >= 0)
        txtEntry_LostFocus(index);
}

// The focus moves as if Tab or Shift+Tab had been typed: the keys are posted and come back
// later through the event queue, where Qt's own focus movement wraps round the entries.
void frmEntrance::SendTabKey(int backwards) {
    KeyInjector& keys = platform().keys();
    using D = KeyInjector::Direction;
    if (backwards) {
        keys.post(this, vk::Shift, D::Down, Qt::ShiftModifier);
        keys.post(this, vk::Tab, D::Down, Qt::ShiftModifier);
        keys.post(this, vk::Tab, D::Up, Qt::ShiftModifier);
        keys.post(this, vk::Shift, D::Up, Qt::NoModifier);
    } else {
        keys.post(this, vk::Tab, D::Down);
        keys.post(this, vk::Tab, D::Up);
    }
}

void frmEntrance::showEntryWindow(int index) {
    m_exercises.open(index + 1);
}

int frmEntrance::entryIndexOf(const QWidget* control) const {
    for (int i = 0; i < kEntryCount; ++i) {
        if (m_entries[static_cast<std::size_t>(i)] == control)
            return i;
    }
    return -1;
}

} // namespace tokotoko
