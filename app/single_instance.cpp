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
const QByteArray kRaise = QByteArrayLiteral("raise\n");

}  // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent) {
    const QByteArray hash =
        QCryptographicHash::hash(QDir::cleanPath(key).toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    name_ = QStringLiteral("moonbite-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::handOverOrListen(std::function<void()> onRaise) {
    // Two starts at once: the lock makes one of them the listener and the
    // other its first caller, never two listeners.
    QLockFile lock(QDir::temp().filePath(name_ + QStringLiteral(".lock")));
    lock.setStaleLockTime(10000);
    lock.tryLock(3000);

    QLocalSocket socket;
    socket.connectToServer(name_);
    if (socket.waitForConnected(kAnswerWaitMs)) {
        socket.write(kRaise);
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
                const QByteArray request = caller->readLine();
                if (request == kRaise && onRaise_) onRaise_();
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
