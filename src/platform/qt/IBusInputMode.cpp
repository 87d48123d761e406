#include "IBusInputMode.h"

#include "drawing/InputBox.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QEvent>
#include <QFile>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <algorithm>

#include <thread>

namespace tokotoko {
namespace {

const QString kConnectionName = QStringLiteral("tokotoko-ibus");
const QString kIBusService = QStringLiteral("org.freedesktop.IBus");
const QString kIBusPath = QStringLiteral("/org/freedesktop/IBus");
const QString kIBusInterface = QStringLiteral("org.freedesktop.IBus");
const QString kEngineInterface = QStringLiteral("org.freedesktop.IBus.Engine");
const QString kMozc = QStringLiteral("mozc-jp");
const QString kMozcService = QStringLiteral("com.google.IBus.Mozc");
const QString kEnginesPath = QStringLiteral("/org/freedesktop/IBus/Engine");
// mozc's input-mode menu: its items are "InputMode.Direct", "InputMode.Hiragana", ...
const QString kInputModePrefix = QStringLiteral("InputMode.");
const QString kHiragana = QStringLiteral("InputMode.Hiragana");
constexpr uint kChecked = 1; // PROP_STATE_CHECKED

// The file in which ibus-daemon writes its address, named as Qt's IBus plugin names it, so that
// both reach the same daemon: the machine, the display's host and number.
QString addressFile() {
    const QByteArray named = qgetenv("IBUS_ADDRESS_FILE");
    if (!named.isEmpty())
        return QString::fromLocal8Bit(named);
    QByteArray host = "unix";
    QByteArray display = qgetenv("WAYLAND_DISPLAY");
    if (display.isEmpty()) {
        display = qgetenv("DISPLAY"); // [host]:number[.screen]
        const qsizetype colon = display.indexOf(':');
        if (colon > 0)
            host = display.left(colon);
        display = display.mid(colon + 1);
        const qsizetype dot = display.indexOf('.');
        if (dot >= 0)
            display.truncate(dot);
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1String("/ibus/bus/") + QLatin1String(QDBusConnection::localMachineId()) +
           QLatin1Char('-') + QString::fromLocal8Bit(host) + QLatin1Char('-') +
           QString::fromLocal8Bit(display);
}

QString daemonAddress() {
    const QByteArray fromEnvironment = qgetenv("IBUS_ADDRESS");
    if (!fromEnvironment.isEmpty())
        return QString::fromLocal8Bit(fromEnvironment);
    QFile file(addressFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray key = "IBUS_ADDRESS=";
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith(key))
            return QString::fromLocal8Bit(line.mid(key.size()));
    }
    return {};
}

// IBus sends its objects (engine descriptions, properties) as structures wrapped in variants.
QDBusArgument structureIn(const QVariant& value) {
    return qvariant_cast<QDBusVariant>(value).variant().value<QDBusArgument>();
}

bool isStructure(const QDBusArgument& argument) {
    return argument.currentType() == QDBusArgument::StructureType;
}

// An IBusEngineDesc: its type name, attachments, then the engine's name.
QString engineName(const QDBusArgument& description) {
    if (!isStructure(description))
        return {};
    QString typeName, name;
    QVariantMap attachments;
    description.beginStructure();
    description >> typeName >> attachments >> name;
    description.endStructure();
    return name;
}

// The checked item of mozc's input-mode menu, looked for in an IBusProperty or IBusPropList
// and in the properties it holds; empty where there is none.
QString checkedInputMode(const QDBusArgument& argument) {
    if (!isStructure(argument))
        return {};
    QString typeName, found;
    QVariantMap attachments;
    argument.beginStructure();
    argument >> typeName >> attachments;
    if (typeName == QLatin1String("IBusPropList")) {
        argument.beginArray();
        while (!argument.atEnd()) {
            QDBusVariant property;
            argument >> property;
            const QString mode = checkedInputMode(structureIn(QVariant::fromValue(property)));
            if (!mode.isEmpty())
                found = mode;
        }
        argument.endArray();
    } else if (typeName == QLatin1String("IBusProperty")) {
        QString key, icon;
        uint type = 0, state = 0;
        bool sensitive = false, visible = false;
        QDBusVariant label, tooltip, subProperties;
        argument >> key >> type >> label >> icon >> tooltip >> sensitive >> visible >> state >>
            subProperties;
        found = key.startsWith(kInputModePrefix) && state == kChecked
                    ? key
                    : checkedInputMode(structureIn(QVariant::fromValue(subProperties)));
    }
    argument.endStructure();
    return found;
}

// The highest numbered child node in an object's introspection data, or -1.
int lastNode(const QString& introspection) {
    int last = -1;
    QXmlStreamReader xml(introspection);
    if (!xml.readNextStartElement()) // the object itself
        return last;
    while (xml.readNextStartElement()) { // its interfaces and child nodes
        bool number = false;
        const int node = xml.attributes().value(QLatin1String("name")).toInt(&number);
        if (xml.name() == QLatin1String("node") && number)
            last = std::max(last, node);
        xml.skipCurrentElement();
    }
    return last;
}

bool isMozc(const QString& engine) {
    return engine.startsWith(QLatin1String("mozc"));
}

} // namespace

// Connected from the start, so that the properties mozc registers as the program's input
// context first takes the focus are heard.
IBusInputMode::IBusInputMode() {
    connectToDaemon();
}

IBusInputMode::~IBusInputMode() = default;

bool IBusInputMode::inUse() {
    return qgetenv("QT_IM_MODULE") == "ibus";
}

void IBusInputMode::follow(InputBox& box) {
    box.installEventFilter(this);
    connect(&box, &InputBox::readyForTyping, this, [this, &box] { boxReady(&box); });
    if (box.hasFocus() && !box.isReadOnly())
        boxReady(&box);
}

bool IBusInputMode::eventFilter(QObject* watched, QEvent* event) {
    auto* box = static_cast<InputBox*>(watched);
    if (event->type() == QEvent::FocusOut ||
        (event->type() == QEvent::ReadOnlyChange && box->isReadOnly()))
        boxLeft(box);
    return QObject::eventFilter(watched, event);
}

void IBusInputMode::boxReady(InputBox* box) {
    m_box = box;
    if (m_link == Link::Up && !bus().isConnected()) {
        // The daemon has ended or been restarted: a new one may be there now.
        QDBusConnection::disconnectFromBus(kConnectionName);
        m_link = Link::None;
        m_globalEngineKnown = false;
        m_enginePath.clear();
    }
    if (m_link == Link::None)
        connectToDaemon();
    else
        switchToHiragana();
}

void IBusInputMode::boxLeft(InputBox* box) {
    if (box != m_box)
        return;
    m_box.clear();
    if (!m_modeToRestore.isEmpty() && m_link == Link::Up && !m_enginePath.isEmpty())
        activate(m_modeToRestore);
    m_modeToRestore.clear();
}

// Connecting reads the address file and waits for the daemon's greeting: done on a thread of
// its own. The program ends through _Exit, so the thread never holds up its end.
void IBusInputMode::connectToDaemon() {
    m_link = Link::Connecting;
    QPointer<IBusInputMode> self(this);
    std::thread([self] {
        const QString address = daemonAddress();
        const bool connected =
            !address.isEmpty() &&
            QDBusConnection::connectToBus(address, kConnectionName).isConnected();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, connected] {
                if (self)
                    self->linked(connected);
            },
            Qt::QueuedConnection);
    }).detach();
}

void IBusInputMode::linked(bool connected) {
    if (!connected) {
        // No daemon now; the next box ready for typing looks again.
        QDBusConnection::disconnectFromBus(kConnectionName);
        m_link = Link::None;
        return;
    }
    m_link = Link::Up;
    QDBusConnection ibus = bus();
    ibus.connect(QString(), kIBusPath, kIBusInterface, QStringLiteral("GlobalEngineChanged"), this,
                 SLOT(globalEngineChanged(QString)));
    // Any engine's properties: mozc's are those with an input-mode menu.
    for (const auto& member :
         {QStringLiteral("RegisterProperties"), QStringLiteral("UpdateProperty")})
        ibus.connect(QString(), QString(), kEngineInterface, member, this,
                     SLOT(engineProperties(QDBusMessage)));
    askGlobalEngine();
}

QDBusConnection IBusInputMode::bus() const {
    return QDBusConnection(kConnectionName);
}

void IBusInputMode::askGlobalEngine() {
    QDBusMessage get = QDBusMessage::createMethodCall(
        kIBusService, kIBusPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << kIBusInterface << QStringLiteral("GlobalEngine");
    auto* watcher = new QDBusPendingCallWatcher(bus().asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusMessage reply = call->reply();
                // With no global engine yet the daemon answers with an error.
                m_globalEngine = reply.type() == QDBusMessage::ReplyMessage
                                     ? engineName(structureIn(reply.arguments().value(0)))
                                     : QString();
                m_globalEngineKnown = true;
                switchToHiragana();
            });
}

void IBusInputMode::useMozc() {
    if (m_selectingMozc)
        return;
    m_selectingMozc = true;
    QDBusMessage select = QDBusMessage::createMethodCall(kIBusService, kIBusPath, kIBusInterface,
                                                         QStringLiteral("SetGlobalEngine"));
    select << kMozc;
    // mozc then registers its properties as it takes the focus, naming its engine and mode.
    auto* watcher = new QDBusPendingCallWatcher(bus().asyncCall(select), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                m_selectingMozc = false;
                if (call->isError())
                    return;
                // Its GlobalEngineChanged may come before this answer or after it.
                if (!isMozc(m_globalEngine)) {
                    m_globalEngine = kMozc;
                    m_enginePath.clear();
                }
                switchToHiragana();
            });
}

void IBusInputMode::switchToHiragana() {
    if (!m_box || !m_box->hasFocus() || m_box->isReadOnly() || m_link != Link::Up ||
        !m_globalEngineKnown)
        return;
    if (!isMozc(m_globalEngine)) {
        useMozc();
        return;
    }
    if (m_enginePath.isEmpty()) {
        findMozcEngine();
        return;
    }
    if (m_modeToRestore.isEmpty() && m_mode != kHiragana)
        m_modeToRestore = m_mode;
    activate(kHiragana);
}

void IBusInputMode::activate(const QString& property) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        m_engineService, m_enginePath, kEngineInterface, QStringLiteral("PropertyActivate"));
    call << property << kChecked;
    bus().send(call);
    m_mode = property;
}

void IBusInputMode::globalEngineChanged(const QString& name) {
    m_globalEngine = name;
    m_globalEngineKnown = true;
    m_enginePath.clear(); // a new engine object
    switchToHiragana();
}

// mozc's engine objects, as its own connection lists them; the one made last is in use. Asked
// only when mozc has not named its engine since the program connected.
void IBusInputMode::findMozcEngine() {
    if (m_findingEngine)
        return;
    m_findingEngine = true;
    QDBusMessage introspect = QDBusMessage::createMethodCall(
        kMozcService, kEnginesPath, QStringLiteral("org.freedesktop.DBus.Introspectable"),
        QStringLiteral("Introspect"));
    auto* watcher = new QDBusPendingCallWatcher(bus().asyncCall(introspect), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                m_findingEngine = false;
                const int engine = lastNode(call->reply().arguments().value(0).toString());
                if (engine < 0 || !m_enginePath.isEmpty())
                    return;
                m_engineService = kMozcService;
                m_enginePath = kEnginesPath + QLatin1Char('/') + QString::number(engine);
                switchToHiragana();
            });
}

void IBusInputMode::engineProperties(const QDBusMessage& message) {
    const QString mode = checkedInputMode(structureIn(message.arguments().value(0)));
    if (mode.isEmpty())
        return;
    m_engineService = message.service();
    m_enginePath = message.path();
    m_mode = mode;
    // Registered as the engine takes the focus: when it is the box's, hiragana is due.
    if (message.member() == QLatin1String("RegisterProperties"))
        switchToHiragana();
}

} // namespace tokotoko
