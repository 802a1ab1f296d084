// The world's towns for the settings frame's search box. The table takes a
// tenth of a second or more to read, so it is read once, on a worker thread,
// the first time the user starts to search, never at start-up.
#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "gazetteer.h"

class QThread;

namespace moonbite {

class PlaceTable : public QObject {
    Q_OBJECT
  public:
    enum class Status { NotRead, Reading, Ready, Missing };

    /// path: the table's file; empty for the installed one (defaultTablePath).
    explicit PlaceTable(QString path, QObject* parent = nullptr);
    /// Waits for a read under way: the worker writes into this object.
    ~PlaceTable() override;

    /// Starts reading the table on a worker thread, the first time only.
    void read();
    [[nodiscard]] Status status() const { return status_; }
    /// The table once Ready, else null.
    [[nodiscard]] const places::Gazetteer* gazetteer() const {
        return status_ == Status::Ready && table_ ? &*table_ : nullptr;
    }
    /// Why the table could not be read (Missing).
    [[nodiscard]] const QString& error() const { return error_; }
    /// Blocks until a read under way has finished and been reported (tests, and
    /// a search that cannot wait for the next turn of the event loop).
    void waitForRead();

  signals:
    /// The read finished: Ready or Missing.
    void finished();

  private:
    void takeResult();

    QString path_;
    Status status_ = Status::NotRead;
    QThread* worker_ = nullptr;
    // Written by the worker only, read here once it has finished.
    std::optional<places::Gazetteer> table_;
    std::string workerError_;
    QString error_;
};

}  // namespace moonbite
