// Opening Moonbite from the tray.
#pragma once

#include <QList>
#include <QString>

namespace moonbite {

/// The Moonbite program: beside this program when it is there (a build or a
/// portable install), else the one on the PATH; empty when there is none.
[[nodiscard]] QString moonbiteProgram();

/// The process ids of this user's running Moonbite programs (from /proc).
[[nodiscard]] QList<qint64> runningMoonbite();

/// Brings a running Moonbite's window forward (through the window manager on
/// X11), or starts Moonbite when none runs. Returns a line for the user when
/// neither could be done, else an empty text.
QString openMoonbite();

}  // namespace moonbite
