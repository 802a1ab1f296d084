#include "desktop_colour_scheme.h"

#include <QApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

#include "contrast.h"

namespace moonbite {
namespace {

const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kSettings = QStringLiteral("org.freedesktop.portal.Settings");
const QString kGroup = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("color-scheme");

/// The portal's Read wraps the value in a variant, older portals twice.
QVariant unwrapped(QVariant v) {
    for (int i = 0; i < 3 && v.canConvert<QDBusVariant>() &&
                    v.metaType() == QMetaType::fromType<QDBusVariant>();
         ++i)
        v = v.value<QDBusVariant>().variant();
    return v;
}

}  // namespace

QPalette paletteForScheme(ColourScheme scheme, const QPalette& desktop) {
    if (scheme == ColourScheme::PreferDark && !isDark(desktop.color(QPalette::Window)))
        return darkDesktopPalette();
    return desktop;
}

DesktopColourScheme::DesktopColourScheme(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {}

void DesktopColourScheme::start() {
    if (!bus_.isConnected()) return;
    bus_.connect(kPortal, kPath, kSettings, QStringLiteral("SettingChanged"), this,
                 SLOT(settingChanged(QDBusMessage)));
    QDBusMessage read =
        QDBusMessage::createMethodCall(kPortal, kPath, kSettings, QStringLiteral("Read"));
    read << kGroup << kKey;
    // Asked without waiting: the window is not held up by a slow or absent portal.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(read, 2000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* w) {
                const QDBusMessage reply = w->reply();
                if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
                    report(reply.arguments().constFirst());
                w->deleteLater();
            });
}

void DesktopColourScheme::settingChanged(const QDBusMessage& message) {
    const QList<QVariant> args = message.arguments();
    if (args.size() == 3 && args[0].toString() == kGroup && args[1].toString() == kKey)
        report(args[2]);
}

void DesktopColourScheme::report(const QVariant& value) {
    const QVariant v = unwrapped(value);
    bool ok = false;
    const uint n = v.toUInt(&ok);
    // Values beyond the three known ones are no preference.
    emit schemeChanged(ok && n <= 2 ? static_cast<ColourScheme>(n) : ColourScheme::NoPreference);
}

void followDesktopColourScheme(QObject* owner) {
    auto* scheme = new DesktopColourScheme(QDBusConnection::sessionBus(), owner);
    QObject::connect(scheme, &DesktopColourScheme::schemeChanged, owner, [](ColourScheme s) {
        static bool darkened = false;
        if (s == ColourScheme::PreferDark) {
            const QPalette wanted = paletteForScheme(s, QApplication::palette());
            if (wanted.color(QPalette::Window) != QApplication::palette().color(QPalette::Window)) {
                QApplication::setPalette(wanted);
                darkened = true;
            }
        } else if (darkened) {
            // Back to the platform theme's own palette.
            QApplication::setPalette(QPalette());
            darkened = false;
        }
    });
    scheme->start();
}

}  // namespace moonbite
