// Opening Moonbite from the tray.
#pragma once

#include <QDate>
#include <QList>
#include <QStringList>
#include <QString>

namespace moonbite {

/// The Moonbite program: beside this program when it is there (a build or a
/// portable install), else the one on the PATH; empty when there is none.
[[nodiscard]] QString moonbiteProgram();

/// The process ids of this user's running Moonbite programs (from /proc).
[[nodiscard]] QList<qint64> runningMoonbite();

/// Brings a running Moonbite's window forward, or starts Moonbite when none
/// runs; at a day when the date is valid. Returns a line for the user when
/// neither could be done, else an empty text.
QString openMoonbite(const QDate& day = QDate());

/// The arguments that start Moonbite at a day (none for an invalid date).
[[nodiscard]] QStringList moonbiteArguments(const QDate& day);

}  // namespace moonbite
