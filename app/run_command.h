// Opening the desktop's regional settings, where the home of the AM/PM symbols
// and separators is.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace moonbite {

class MessageBoxes;

/// Starts a command line as a separate program; false when it could not start.
bool RunCommand(const QString& program, const QStringList& arguments);

/// Opens the desktop's region settings when one is installed (GNOME, KDE,
/// Xfce, ...). When none is, shows what they would show: the locale's time
/// separator, AM and PM symbols and date separator.
void openRegionalSettings(
    MessageBoxes& boxes, QWidget* parent,
    const std::function<bool(const QString&, const QStringList&)>& run = RunCommand);

}  // namespace moonbite
