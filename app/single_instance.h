// One Moonbite window per settings folder: a second start hands over to the
// running one (which comes forward) and leaves, so two windows never edit the
// same settings and journal files.
#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace moonbite {

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    /// key: what one instance owns (the settings folder); the user's id is
    /// added, so other users' instances never meet.
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    /// Asks a running instance for the key to come forward, at a day when it
    /// is valid. True when one answered; otherwise this one starts listening
    /// and onRaise is called, with the day asked for (or an invalid date),
    /// whenever a later start asks. False also when listening failed (the
    /// program then runs on alone).
    bool handOverOrListen(const QDate& day, std::function<void(const QDate&)> onRaise);

    /// The local socket's name for the key.
    [[nodiscard]] QString serverName() const { return name_; }

  private:
    QString name_;
    QLocalServer* server_ = nullptr;
    std::function<void(const QDate&)> onRaise_;
};

/// Brings a window forward: restored when minimised, raised and activated.
void bringForward(class QWidget* window);

}  // namespace moonbite
