// Desktop notifications through the session bus's notification service.
#pragma once

#include <QString>

namespace moonbite {

/// Raises a desktop notification; tests give their own.
class Notifier {
  public:
    virtual ~Notifier() = default;
    /// True when the notification was handed to the desktop; otherwise false
    /// and error() says why.
    virtual bool notify(const QString& title, const QString& body) = 0;
    [[nodiscard]] virtual QString error() const = 0;
};

/// org.freedesktop.Notifications on the session bus, sent as "Moonbite" with
/// the program's icon.
class DBusNotifier : public Notifier {
  public:
    bool notify(const QString& title, const QString& body) override;
    [[nodiscard]] QString error() const override { return error_; }

  private:
    QString error_;
};

/// The name the notifications carry.
inline const QString kNotificationAppName = QStringLiteral("Moonbite");

}  // namespace moonbite
