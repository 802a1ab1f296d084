// Form2: the welcome a new user sees before the main window.
#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLocale;
class QPushButton;

namespace moonbite {

class SettingsStore;

/// A user is new, and sees the welcome first, until a location has been saved.
[[nodiscard]] bool isNewUser(const SettingsStore& store);

/// The locale's clock and date punctuation, as the welcome shows it:
/// Time separator ":", AM "AM", PM "PM", date separator "/".
[[nodiscard]] QString regionalFormatsText(const QLocale& locale);

/// Shows the welcome and waits for it to close when the user is new; the
/// main window follows either way. True when it was shown.
bool welcomeNewUser(const SettingsStore& store, std::function<void()> openRegionalSettings);

class Form2 : public QDialog {
    Q_OBJECT
  public:
    explicit Form2(std::function<void()> openRegionalSettings, QWidget* parent = nullptr);
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* Command1 = nullptr;  ///< "&Ok"
    QPushButton* Command2 = nullptr;  ///< "&Regional settings"

  private:
    std::function<void()> openRegionalSettings_;
};

}  // namespace moonbite
