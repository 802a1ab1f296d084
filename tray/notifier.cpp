#include "notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace moonbite {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

}  // namespace

DBusNotifier::DBusNotifier() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                SLOT(actionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                SLOT(closed(uint, uint)));
}

bool DBusNotifier::notify(const QString& title, const QString& body, const QDate& day) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        error_ = QStringLiteral("no session bus");
        return false;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    const QStringList actions{QStringLiteral("default"), QStringLiteral("Open Moonbite"),
                              kOpenAction, QStringLiteral("Open Moonbite")};
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout
    call << kNotificationAppName << 0U << QStringLiteral("moonbite") << title << body << actions
         << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral("app.moonbite.Moonbite")}}
         << -1;
    // A notification service answers at once; a hung one must not hold the tray for long.
    const QDBusMessage reply = bus.call(call, QDBus::Block, 10000);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        error_ = reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
        return false;
    }
    error_.clear();
    if (!reply.arguments().isEmpty()) days_.insert(reply.arguments().constFirst().toUInt(), day);
    return true;
}

void DBusNotifier::actionInvoked(uint id, const QString& action) {
    // The signal goes to every program on the bus: only our notifications count.
    const auto it = days_.constFind(id);
    if (it == days_.constEnd()) return;
    if ((action == QLatin1String("default") || action == kOpenAction) && onOpen) onOpen(*it);
}

void DBusNotifier::closed(uint id, uint /*reason*/) {
    days_.remove(id);
}

}  // namespace moonbite
