#include "frmKeyGuide.h"

#include "common/Controls.h"
#include "common/Fonts.h"
#include "drawing/LargeText.h"
#include "platform/KeyTranslation.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QProxyStyle>

#include <algorithm>
#include <functional>

namespace tokotoko {
namespace {

// Keeps a menu bar from taking the keyboard after a tap of Alt (Alt+letter menus still work):
// the key after the tap must reach the window to be named.
class NoAltTapMenuBarStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_MenuBar_AltKeyNavigation)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// One style for every key guide menu bar, owned by the application: a menu bar looks at its
// style up to the end of its own destruction, which may come after its window's.
QStyle* noAltTapMenuBarStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new NoAltTapMenuBarStyle;
        style->setParent(qApp);
    }
    return style;
}

// The key name label: reports a double-click of the left button.
class KeyNameLabel final : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onDoubleClick;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && onDoubleClick) {
            event->accept();
            onDoubleClick();
            return;
        }
        QLabel::mouseDoubleClickEvent(event);
    }
};

void styleLabel(QLabel* label, const QString& name, const QFont& font, const QColor& text,
                Qt::Alignment alignment) {
    label->setObjectName(name);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setTextFormat(Qt::PlainText); // "<", ">" and "&" are names like any other
    label->setFocusPolicy(Qt::NoFocus);
    setColors(label, text, colors::black, false);
}

// A screen reader reads the label's accessible name: keep it the text shown.
void showText(QLabel* label, const QString& text) {
    setCentredLine(label, text);
    label->setAccessibleName(text);
}

} // namespace

frmKeyGuide::frmKeyGuide(Platform& platform)
    : FormWindow(platform) {
    setObjectName(QStringLiteral("frmKeyGuide"));
    // A key without a code has no name either, but goes to the clipboard like any key.
    setFormKeyDownWithoutCode(true);
}

frmKeyGuide::~frmKeyGuide() = default;

void frmKeyGuide::createControls() {
    setWindowTitle(QStringLiteral("押せばわかる"));
    setColors(client(), colors::white, colors::black, true);

    auto* keyLabel = new KeyNameLabel(client());
    keyLabel->onDoubleClick = [this] { lblKey_DblClick(); };
    lblKey = keyLabel;
    styleLabel(lblKey, QStringLiteral("lblKey"), pGothic(129.75), colors::white,
               Qt::AlignHCenter | Qt::AlignTop);
    lblKey->setAccessibleDescription(QStringLiteral("押したキーの名前"));

    lblYomi = new QLabel(client());
    styleLabel(lblYomi, QStringLiteral("lblYomi"), pGothic(90), colors::yellow,
               Qt::AlignHCenter | Qt::AlignTop);
    lblYomi->setAccessibleDescription(QStringLiteral("キーの読み方"));

    Label2 = new QLabel(client());
    styleLabel(Label2, QStringLiteral("Label2"), pGothic(60), colors::lightCyan,
               Qt::AlignRight | Qt::AlignTop);
    setColors(Label2, colors::lightCyan, colors::black, true);
    showText(Label2, QStringLiteral("Alt＋F4で終了"));

    // The inner area has the keys: a screen reader says where the learner is when it gets the
    // focus, after the window's name.
    client()->setFocusPolicy(Qt::ClickFocus);
    client()->setAccessibleName(windowTitle() + QStringLiteral("　") + Label2->text());

    formMenuBar()->setStyle(noAltTapMenuBarStyle());
    QAction* mnuVersion = formMenuBar()->addAction(QStringLiteral("バージョン"));
    mnuVersion->setObjectName(QStringLiteral("mnuVersion"));
    connect(mnuVersion, &QAction::triggered, this, &frmKeyGuide::mnuVersion_Click);
}

void frmKeyGuide::Form_Load() {
    placeFullScreen();
    // The window never composes: every key, the Japanese ones included, arrives as a key.
    setInnerAreaComposes(false);
    SwitchOffInputMethod();
    m_menuKeyToggle = true;
}

void frmKeyGuide::Form_Resize() {
    const LayoutUnits u = units();
    place(lblYomi, u.h, u.w, scaled(u.h, 2.5), 0);
    place(Label2, u.h, u.w, multiple(u.h, 4), 0);
    place(lblKey, scaled(u.h, 0.2), u.w, scaled(u.h, 0.5), 0);
    m_keyLabelLayoutHeight = lblKey->height();
    fitKeyLabelToItsText();
}

void frmKeyGuide::Form_KeyDown(int keyCode, int shift) {
    // The key down posted back for a menu key is the same press: named, but not said again.
    const bool postedBack = !m_menuKeyToggle && (keyCode == vk::Alt || keyCode == vk::F10 ||
                                                 keyCode == vk::LeftWindows);
    m_shownEntry.reset();
    const KeyNameTable::Found found = KeyNameTable::lookUp(keyCode, shift);
    if (found.first) {
        showEntry(found.first->entry);
        if (found.first->group == KeyNameTable::Group::Plain)
            actOnPlainKey(keyCode);
    }
    if (found.modifier) {
        showEntry(*found.modifier);
        if (keyCode == vk::Alt)
            MenuKeyToggle(keyCode);
    }
    copyLabelsToClipboard();
    if (m_shownEntry && !postedBack)
        announceEntry(*m_shownEntry);
    // The learner is told to press Alt+F4: close also where no window manager binds it. Where
    // one does, the key never arrives here.
    if (keyCode == vk::F4 && (shift & AltBit))
        unload();
}

void frmKeyGuide::lblKey_DblClick() {
    unload();
    platform().app().endProgram();
}

void frmKeyGuide::mnuVersion_Click() {
    showVersionBox();
}

// 無変換 and 半角/全角 may have switched the input method on: it goes off again. The menu keys
// are answered with one posted pair of key events per press.
void frmKeyGuide::actOnPlainKey(int keyCode) {
    if (keyCode == vk::NonConvert || keyCode == vk::ImeProcessed)
        SwitchOffInputMethod();
    else if (keyCode == vk::LeftWindows || keyCode == vk::F10)
        MenuKeyToggle(keyCode);
}

void frmKeyGuide::SwitchOffInputMethod() {
    platform().inputMethod().switchOff(this);
}

// The posted key down comes back as a second key down of the same key, which finds the
// toggle false and only sets it back: one posted pair per physical press, never a chain.
void frmKeyGuide::MenuKeyToggle(int virtualKey) {
    if (!m_menuKeyToggle) {
        m_menuKeyToggle = true;
        return;
    }
    using D = KeyInjector::Direction;
    KeyInjector& keys = platform().keys();
    if (virtualKey == vk::Alt) {
        keys.post(this, vk::Escape, D::Up);
        keys.post(this, vk::Alt, D::Down, Qt::AltModifier);
    } else {
        keys.post(this, virtualKey, D::Up);
        keys.post(this, virtualKey, D::Down);
    }
    m_menuKeyToggle = false;
}

void frmKeyGuide::showEntry(const KeyNameEntry& entry) {
    m_shownEntry = entry;
    showText(lblKey, entry.name);
    if (entry.reading)
        showText(lblYomi, *entry.reading);
    fitKeyLabelToItsText();
}

// The name and, where the key has one, its reading; the reading left over from an earlier
// key is not this key's.
void frmKeyGuide::announceEntry(const KeyNameEntry& entry) {
    if (entry.reading && !entry.reading->isEmpty())
        announce(entry.name + QStringLiteral("、") + *entry.reading);
    else
        announce(entry.name);
}

void frmKeyGuide::copyLabelsToClipboard() {
    Clipboard& clipboard = platform().clipboard();
    clipboard.setText(lblKey->text());
    clipboard.setText(lblYomi->text());
}

// The layout gives the key name far less height than its type needs: the label grows below
// its top edge until the whole line shows. A name's height is measured once: at this size the
// measuring loads each glyph's outline again.
void frmKeyGuide::fitKeyLabelToItsText() {
    if (m_lineHeightsDpi != lblKey->logicalDpiY()) {
        m_keyLineHeights.clear();
        m_lineHeightsDpi = lblKey->logicalDpiY();
    }
    auto height = m_keyLineHeights.constFind(lblKey->text());
    if (height == m_keyLineHeights.cend())
        height =
            m_keyLineHeights.insert(lblKey->text(), std::max(QFontMetrics(lblKey->font()).height(),
                                                             lblKey->sizeHint().height()));
    lblKey->resize(lblKey->width(), std::max(m_keyLabelLayoutHeight, *height));
}

} // namespace tokotoko
