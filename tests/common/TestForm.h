#pragma once

#include "common/FormWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QTimer>

namespace tokotoko::test {

// A small window for testing the window services: a label whose initial caption the load
// handler does not set, a text box, a timer, and a state field that outlives unloading.
class TestForm final : public FormWindow {
public:
    explicit TestForm(Platform& platform)
        : FormWindow(platform) {
        setObjectName(QStringLiteral("frmTest"));
    }

    void Form_Load() override {
        ++loads;
        placeFullScreen();
        setKeyPreview(keyPreviewWanted);
        Timer1->start(1000);
    }
    void Form_Resize() override {
        ++resizes;
        const LayoutUnits u = units();
        place(lblCaption, scaled(u.h, 0.5), scaled(u.w, 0.5), multiple(u.h, 1), 0);
        place(txtInput, u.h, u.w, multiple(u.h, 2), scaled(u.w, 0.05));
    }
    void Form_KeyDown(int keyCode, int shift) override {
        events << QStringLiteral("form down %1/%2").arg(keyCode).arg(shift);
        if (keyCode == 27 && escapeUnloads)
            unload();
    }
    void Form_KeyPress(int& keyAscii) override {
        events << QStringLiteral("form press %1").arg(keyAscii);
        if (keyAscii == '\r')
            keyAscii = 0;
    }

    QLabel* lblCaption = nullptr;
    QLineEdit* txtInput = nullptr;
    QTimer* Timer1 = nullptr;

    int loads = 0;
    int resizes = 0;
    int stateCounter = 0; // window state: survives unloading
    bool keyPreviewWanted = true;
    bool escapeUnloads = true;
    QStringList events;

protected:
    void createControls() override {
        lblCaption = new QLabel(QStringLiteral("initial"), client());
        lblCaption->setObjectName(QStringLiteral("lblCaption"));
        txtInput = new QLineEdit(client());
        txtInput->setObjectName(QStringLiteral("txtInput"));
        Timer1 = new QTimer(client());
        connect(Timer1, &QTimer::timeout, this, [this] { ++stateCounter; });
    }
    void Control_KeyDown(QWidget* control, int keyCode, int) override {
        events << QStringLiteral("%1 down %2").arg(control->objectName()).arg(keyCode);
    }
    void Control_KeyPress(QWidget* control, int& keyAscii) override {
        events << QStringLiteral("%1 press %2").arg(control->objectName()).arg(keyAscii);
    }
};

} // namespace tokotoko::test
