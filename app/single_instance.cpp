#include "single_instance.h"

#include <unistd.h>
#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QWidget>

namespace moonbite {
namespace {

constexpr int kAnswerWaitMs = 1000;
// "raise", or "raise YYYY-MM-DD" for a day, one line.
const QByteArray kRaise = QByteArrayLiteral("raise");

}  // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent) {
    const QByteArray hash =
        QCryptographicHash::hash(QDir::cleanPath(key).toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    name_ = QStringLiteral("moonbite-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::handOverOrListen(const QDate& day,
                                      std::function<void(const QDate&)> onRaise) {
    // Two starts at once: the lock makes one of them the listener and the
    // other its first caller, never two listeners.
    QLockFile lock(QDir::temp().filePath(name_ + QStringLiteral(".lock")));
    lock.setStaleLockTime(10000);
    lock.tryLock(3000);

    QLocalSocket socket;
    socket.connectToServer(name_);
    if (socket.waitForConnected(kAnswerWaitMs)) {
        QByteArray request = kRaise;
        if (day.isValid()) request += ' ' + day.toString(Qt::ISODate).toLatin1();
        socket.write(request + '\n');
        socket.waitForBytesWritten(kAnswerWaitMs);
        // The running one answers once it has read the request.
        socket.waitForReadyRead(kAnswerWaitMs);
        socket.disconnectFromServer();
        return true;
    }
    // A socket left by a program that crashed answers no one: replace it.
    QLocalServer::removeServer(name_);
    onRaise_ = std::move(onRaise);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) return false;
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* caller = server_->nextPendingConnection()) {
            connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
            connect(caller, &QLocalSocket::readyRead, this, [this, caller] {
                if (!caller->canReadLine()) return;
                const QByteArray request = caller->readLine(64).trimmed();
                // Anything but the two forms is ignored: the socket is the user's own,
                // yet a stray writer must not move the window's day.
                const QList<QByteArray> words = request.split(' ');
                if (words.value(0) == kRaise && words.size() <= 2 && onRaise_) {
                    const QDate asked =
                        words.size() == 2
                            ? QDate::fromString(QString::fromLatin1(words[1]), Qt::ISODate)
                            : QDate();
                    if (words.size() == 1 || asked.isValid()) onRaise_(asked);
                }
                caller->write("ok\n");
                caller->flush();
            });
        }
    });
    return false;
}

void bringForward(QWidget* window) {
    if (window == nullptr) return;
    if (window->isMinimized()) window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace moonbite
