// Desktop notifications through the session bus's notification service.
#pragma once

#include <QDate>
#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

namespace moonbite {

/// Raises a desktop notification; tests give their own.
class Notifier {
  public:
    virtual ~Notifier() = default;
    /// True when the notification was handed to the desktop; otherwise false
    /// and error() says why. day: the day it tells of, which its "Open
    /// Moonbite" action shows.
    virtual bool notify(const QString& title, const QString& body, const QDate& day) = 0;
    [[nodiscard]] virtual QString error() const = 0;
    /// Called with the notification's day when the user chooses to open it.
    std::function<void(const QDate&)> onOpen;
};

/// org.freedesktop.Notifications on the session bus, sent as "Moonbite" with
/// the program's icon and an action that opens Moonbite at the day.
class DBusNotifier : public QObject, public Notifier {
    Q_OBJECT
  public:
    DBusNotifier();
    bool notify(const QString& title, const QString& body, const QDate& day) override;
    [[nodiscard]] QString error() const override { return error_; }

  private slots:
    void actionInvoked(uint id, const QString& action);
    void closed(uint id, uint reason);

  private:
    QString error_;
    QHash<uint, QDate> days_;  // the notifications still shown, by the service's id
};

/// The name the notifications carry.
inline const QString kNotificationAppName = QStringLiteral("Moonbite");
/// The action keys: "default" is a click on the notification itself.
inline const QString kOpenAction = QStringLiteral("open");

}  // namespace moonbite
