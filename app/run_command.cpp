#include "run_command.h"

#include <QDate>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QTime>

#include "message_boxes.h"

namespace moonbite {

bool RunCommand(const QString& program, const QStringList& arguments) {
    if (QStandardPaths::findExecutable(program).isEmpty()) return false;
    return QProcess::startDetached(program, arguments);
}

void openRegionalSettings(MessageBoxes& boxes, QWidget* parent,
                          const std::function<bool(const QString&, const QStringList&)>& run) {
    const std::pair<QString, QStringList> candidates[] = {
        {QStringLiteral("gnome-control-center"), {QStringLiteral("region")}},
        {QStringLiteral("systemsettings"), {QStringLiteral("kcm_regionandlang")}},
        {QStringLiteral("systemsettings5"), {QStringLiteral("formats")}},
        {QStringLiteral("cinnamon-settings"), {QStringLiteral("region")}},
        {QStringLiteral("mate-time-admin"), {}},
    };
    for (const auto& [program, arguments] : candidates) {
        if (run(program, arguments)) return;
    }
    const QLocale locale;
    const QString time = locale.toString(QTime(13, 45), QLocale::ShortFormat);
    const QString date = locale.toString(QDate(2026, 12, 31), QLocale::ShortFormat);
    boxes.show(parent,
               QObject::tr("No regional settings program was found on this desktop.\n\n"
                           "Your locale is %1:\n"
                           "time: %2 (AM symbol \"%3\", PM symbol \"%4\")\n"
                           "date: %5\n\n"
                           "Moonbite shows times with these AM and PM symbols. To change them, "
                           "set the LC_TIME locale of your session.")
                   .arg(locale.name(), time, locale.amText(), locale.pmText(), date),
               QStringLiteral("Moonbite"), MessageBoxes::Icon::Information);
}

}  // namespace moonbite
