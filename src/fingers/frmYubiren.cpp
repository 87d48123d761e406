#include "frmYubiren.h"

#include "DrillControls.h"
#include "DrillRules.h"
#include "FingerTable.h"

#include "common/Controls.h"
#include "common/Fonts.h"
#include "platform/KeyTranslation.h"
#include "platform/Platform.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>

namespace tokotoko {

using namespace fingers;

frmYubiren::frmYubiren(Platform& platform)
    : FormWindow(platform) {
    setObjectName(QStringLiteral("frmYubiren"));
}

void frmYubiren::createControls() {
    setWindowTitle(QStringLiteral("どのゆびつかうの"));
    setColors(client(), colors::white, colors::black, true);
    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignTop;

    // Black on black: the reading is there for the clipboard, not for the eye.
    lblYubi = makeDrillLabel(client(), QStringLiteral("lblYubi"), QStringLiteral("指とキーの読み"),
                             pGothic(9), colors::black, centred);
    lblYubiHyoji = makeDrillLabel(client(), QStringLiteral("lblYubiHyoji"),
                                  QStringLiteral("使う指"), pGothic(90), colors::yellow, centred);
    lblKey = makeDrillLabel(client(), QStringLiteral("lblKey"), QStringLiteral("打つキー"),
                            pGothic(249.75), colors::white, centred);
    // The last typed character, tiny in the corner.
    Label1 = makeDrillLabel(client(), QStringLiteral("Label1"), QString(), pGothic(9),
                            colors::black, Qt::AlignLeft | Qt::AlignTop);

    createMenus();
}

void frmYubiren::createMenus() {
    QMenu* mnuFile = formMenuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    QAction* mnuEnd = mnuFile->addAction(QStringLiteral("終了(&X or Escape)"));
    mnuEnd->setObjectName(QStringLiteral("mnuEnd"));
    connect(mnuEnd, &QAction::triggered, this, &frmYubiren::mnuEnd_Click);

    QMenu* mnuSettei = formMenuBar()->addMenu(QStringLiteral("設定(&S)"));
    mnuSettei->setObjectName(QStringLiteral("mnuSettei"));
    QAction* mnuHintoNashi = mnuSettei->addAction(QStringLiteral("指の名前なし(&N)"));
    mnuHintoNashi->setObjectName(QStringLiteral("mnuHintoNashi"));
    connect(mnuHintoNashi, &QAction::triggered, this, &frmYubiren::mnuHintoNashi_Click);
    QAction* mnuHintoAri = mnuSettei->addAction(QStringLiteral("指の名前あり(&A)"));
    mnuHintoAri->setObjectName(QStringLiteral("mnuHintoAri"));
    connect(mnuHintoAri, &QAction::triggered, this, &frmYubiren::mnuHintoAri_Click);

    QAction* mnuVersion = formMenuBar()->addAction(QStringLiteral("バージョン(&V)"));
    mnuVersion->setObjectName(QStringLiteral("mnuVersion"));
    connect(mnuVersion, &QAction::triggered, this, &frmYubiren::mnuVersion_Click);
}

void frmYubiren::Form_Load() {
    placeFullScreen();
    // Loaded now so that the first wrong key is heard at once.
    platform().sound().prepare(kMissCue);
    m_position = 0;
    CurrentStatus();
}

void frmYubiren::Form_Resize() {
    const LayoutUnits u = units();
    place(Label1, scaled(u.h, 0.2), scaled(u.w, 0.01), 0, 0);
    place(lblYubi, scaled(u.h, 0.2), scaled(u.w, 0.01), 0, 0);
    place(lblYubiHyoji, u.h, u.w, scaled(u.h, 0.5), 0);
    place(lblKey, multiple(u.h, 2), u.w, multiple(u.h, 2), 0);
}

void frmYubiren::CurrentStatus() {
    m_position = nextGuidePosition(m_position, lblKey->text());
    const GuideEntry entry = guideEntry(m_position);
    setCaption(lblYubi, entry.reading);
    setCaption(lblYubiHyoji, entry.fingerLabel);
    setCaption(lblKey, entry.key);
    // The reading goes out whether the label is shown or hidden.
    platform().clipboard().setText(lblYubi->text());
    announce(lblYubi->text());
}

void frmYubiren::Form_KeyPress(int& keyAscii) {
    keyAscii = upperCased(keyAscii);
    setCaption(Label1, characterText(keyAscii));
    if (lblKey->text() != Label1->text()) {
        platform().clipboard().setText(lblKey->text());
        announce(lblKey->text());
        platform().sound().play(kMissCue);
        return;
    }
    CurrentStatus();
}

void frmYubiren::Form_KeyDown(int keyCode, int) {
    if (keyCode == vk::Escape)
        unload();
}

void frmYubiren::mnuEnd_Click() {
    unload();
}

void frmYubiren::mnuHintoNashi_Click() {
    lblYubi->hide();
}

void frmYubiren::mnuHintoAri_Click() {
    lblYubi->show();
}

void frmYubiren::mnuVersion_Click() {
    showVersionBox();
}

} // namespace tokotoko
