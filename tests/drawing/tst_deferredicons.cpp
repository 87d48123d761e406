// The menu bars' overflow arrow is handed out unread, and reads as the style's own when drawn.
#include "drawing/DeferredIcons.h"

#include <QApplication>
#include <QFile>
#include <QMenuBar>
#include <QStyleFactory>
#include <QTest>

using namespace tokotoko;

namespace {

bool imagePluginMapped() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        qFatal("no /proc/self/maps");
    return maps.readAll().contains("/imageformats/");
}

} // namespace

class DeferredIconsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void menuBarLoadsNoImagePluginUntilTheArrowIsDrawn();
};

void DeferredIconsTest::menuBarLoadsNoImagePluginUntilTheArrowIsDrawn() {
#ifndef Q_OS_LINUX
    QSKIP("reads the process's mappings from /proc");
#endif
    auto* style = new DeferredIconStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setStyle(style);
    QVERIFY(!imagePluginMapped());

    QMenuBar bar;
    bar.addMenu(QStringLiteral("ファイル(&F)"));
    QVERIFY(!imagePluginMapped());

    const auto arrow = QStyle::SP_ToolBarHorizontalExtensionButton;
    const QImage drawn = style->standardIcon(arrow).pixmap(16, 16).toImage();
    const QImage own = style->baseStyle()->standardIcon(arrow).pixmap(16, 16).toImage();
    QVERIFY(!own.isNull());
    QCOMPARE(drawn, own);
}

QTEST_MAIN(DeferredIconsTest)
#include "tst_deferredicons.moc"
