#include "place_table.h"

#include <QFile>
#include <QThread>

namespace moonbite {

PlaceTable::PlaceTable(QString path, QObject* parent) : QObject(parent), path_(std::move(path)) {}

PlaceTable::~PlaceTable() {
    if (worker_ != nullptr) {
        worker_->wait();
        delete worker_;
    }
}

void PlaceTable::read() {
    if (status_ != Status::NotRead) return;
    status_ = Status::Reading;
    const std::string path =
        path_.isEmpty() ? places::defaultTablePath() : QFile::encodeName(path_).toStdString();
    worker_ =
        QThread::create([this, path] { table_ = places::Gazetteer::load(path, &workerError_); });
    // Queued to this thread: the result is taken where the window reads it.
    connect(worker_, &QThread::finished, this, &PlaceTable::takeResult);
    // Below the window's own work, which must not wait for it.
    worker_->start(QThread::LowPriority);
}

void PlaceTable::waitForRead() {
    if (status_ != Status::Reading) return;
    worker_->wait();
    takeResult();
}

void PlaceTable::takeResult() {
    if (status_ != Status::Reading) return;  // already taken by waitForRead
    worker_->wait();
    status_ = table_ ? Status::Ready : Status::Missing;
    if (!table_) error_ = QString::fromStdString(workerError_);
    emit finished();
}

}  // namespace moonbite
