// The desktop's light or dark preference. Qt follows a dark desktop palette
// where the platform theme passes one on (KDE); GNOME and other portal-based
// desktops only state a preference, which is read here so that Moonbite goes
// dark with them.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QPalette>

namespace moonbite {

/// The values of the portal's org.freedesktop.appearance color-scheme.
enum class ColourScheme { NoPreference = 0, PreferDark = 1, PreferLight = 2 };

/// The palette the program uses for a preference, given the desktop's own
/// (the platform theme's) palette: a dark one when dark is preferred and the
/// desktop's palette is light; otherwise the desktop's palette as it is.
[[nodiscard]] QPalette paletteForScheme(ColourScheme scheme, const QPalette& desktop);

/// Asks the desktop portal (org.freedesktop.portal.Desktop) for the colour
/// scheme without waiting for the answer, then follows its changes. Without
/// a portal nothing is ever reported.
class DesktopColourScheme : public QObject {
    Q_OBJECT
  public:
    explicit DesktopColourScheme(QDBusConnection bus, QObject* parent = nullptr);
    /// Sends the question and starts listening.
    void start();

  signals:
    void schemeChanged(moonbite::ColourScheme scheme);

  private slots:
    /// SettingChanged(group, key, value); the whole message, so that a value
    /// of any wrapping is taken.
    void settingChanged(const QDBusMessage& message);

  private:
    void report(const QVariant& value);
    QDBusConnection bus_;
};

/// Makes the application follow the desktop's preference from now on: the
/// dark palette while dark is preferred on a light platform palette.
void followDesktopColourScheme(QObject* owner);

}  // namespace moonbite
