#include "TextWindowKit.h"

#include "common/Fonts.h"
#include "drawing/InputBox.h"
#include "drawing/WindowEdge.h"
#include "platform/Platform.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>

namespace tokotoko {

const TextLanguageTraits& textLanguageTraits(TextLanguage language) {
    static const TextLanguageTraits japanese{
        TextLanguage::Japanese,
        QColor(0, 0, 128),
        QStringLiteral("\\zannen.wav"),
        QStringLiteral("ファイル(&F)"),
        QStringLiteral("ファイルを開く(&O)"),
        QStringLiteral("「メモ帳」を開く(&E)"),
        QStringLiteral("終了(&X)"),
        QStringLiteral("バージョン(&V)"),
        true,
        &gothic,
    };
    static const TextLanguageTraits english{
        TextLanguage::English,
        QColor(128, 0, 0),
        QStringLiteral("\\boo.wav"),
        QStringLiteral("File(&F)"),
        QStringLiteral("Open Text File(&O)"),
        QStringLiteral("Open Note Pad(&E)"),
        QStringLiteral("Exit(&X)"),
        QStringLiteral("About(&A)"),
        false,
        &pGothic,
    };
    return language == TextLanguage::Japanese ? japanese : english;
}

QString keyGuideText() {
    return QStringLiteral("Esc:RESET\r\nCtrl:REPEAT");
}

TextPresenter::TextPresenter(Platform& platform, TextLanguage language)
    : m_platform(platform)
    , m_language(language) {}

TextPresenter::~TextPresenter() = default;

void TextPresenter::createVoice() {
    if (m_language != TextLanguage::English)
        return;
    m_voice = m_platform.speech().createVoice();
    if (m_voice)
        m_voice->setVolume(100);
}

void TextPresenter::releaseVoice() {
    m_voice.reset();
}

void TextPresenter::present(const QString& text) {
    if (m_language == TextLanguage::Japanese)
        m_platform.clipboard().setText(text);
    else if (m_voice)
        m_voice->speak(text);
}

DisplayBox::DisplayBox(QWidget* parent)
    : QPlainTextEdit(parent) {
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Never narrower than its vertical scroll bar: in a window made that narrow the bar would
    // leave the line no room, the line would need no bar, and the layout would go round for ever.
    setMinimumWidth(2 * style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) +
                    2 * frameWidth());
    // The line wraps before the window's edge, not the box's (with the room above kept).
    keepTextInsideWindow(this, [this](int past) {
        setViewportMargins(0, 0, std::min(past, std::max(0, width() - minimumWidth())), 0);
    });
}

void DisplayBox::setText(const QString& text) {
    m_text = text;
    setPlainText(text);
}

InputBox* makeInputBox(Platform& platform, TextLanguage language, QWidget* parent) {
    auto* box = new InputBox(parent);
    if (language == TextLanguage::Japanese)
        platform.inputMethod().useHiragana(*box);
    else
        platform.inputMethod().useAlphanumeric(*box);
    return box;
}

FileMenu addFileMenu(QMenuBar* menuBar, const TextLanguageTraits& traits) {
    FileMenu menu;
    menu.mnuFile = menuBar->addMenu(traits.fileMenu);
    menu.mnuFile->setObjectName(QStringLiteral("mnuFile"));
    menu.mnuFileOpen = menu.mnuFile->addAction(traits.openItem);
    menu.mnuFileOpen->setObjectName(QStringLiteral("mnuFileOpen"));
    menu.mnuFileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    menu.mnuFileText = menu.mnuFile->addAction(traits.editorItem);
    menu.mnuFileText->setObjectName(QStringLiteral("mnuFileText"));
    if (traits.separatorBeforeEnd) {
        menu.mnuSeparator = menu.mnuFile->addSeparator();
        menu.mnuSeparator->setObjectName(QStringLiteral("mnuSeparator"));
    }
    menu.mnuEnd = menu.mnuFile->addAction(traits.endItem);
    menu.mnuEnd->setObjectName(QStringLiteral("mnuEnd"));
    return menu;
}

QAction* addVersionItem(QMenuBar* menuBar, const TextLanguageTraits& traits) {
    QAction* item = menuBar->addAction(traits.versionItem);
    item->setObjectName(QStringLiteral("mnuVersion"));
    return item;
}

} // namespace tokotoko
