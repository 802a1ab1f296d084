#include "tray_options.h"

#include <algorithm>

#include "settings_store.h"

namespace moonbite {
namespace {

const QString kTraySection = QStringLiteral("Tray");
const QString kAnnouncedKey = QStringLiteral("announced");

}  // namespace

TrayOptions readTrayOptions(const SettingsStore& store) {
    TrayOptions o;
    o.runAlarm = readBool(store, keys::runalarm);
    o.dayType = readIntInRange(store, keys::daytype, 0, 3);
    o.daysInAdvance = readIntInRange(store, keys::daysinadvance, 0, kMaxDaysInAdvance);
    // The check boxes are ticked only by the value 1, as the settings frame reads them.
    o.showMoon = readInt(store, keys::showmoon) == 1;
    o.showFish = readInt(store, keys::showfish) == 1;
    o.moonOrth = readBool(store, keys::moonorth);
    o.locationStored = !readText(store, keys::currentloc).trimmed().isEmpty();
    return o;
}

bool meetsDayType(int score, int dayType) {
    switch (dayType) {
        case 0:
            return score >= 100;
        case 1:
            return score >= 66;
        case 2:
            return score >= 33;
        case 3:
            return true;
        default:
            return false;
    }
}

QList<QDate> AnnouncedDays::days() const {
    QList<QDate> out;
    const QString text = store_.get(kStateApp, kTraySection, kAnnouncedKey);
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QDate d = QDate::fromString(part.trimmed(), Qt::ISODate);
        if (d.isValid()) out.push_back(d);
    }
    return out;
}

bool AnnouncedDays::contains(QDate day) const {
    return days().contains(day);
}

void AnnouncedDays::add(QDate day, QDate today) {
    QList<QDate> kept;
    for (const QDate& d : days()) {
        if (d >= today && !kept.contains(d)) kept.push_back(d);
    }
    if (!kept.contains(day)) kept.push_back(day);
    std::sort(kept.begin(), kept.end());
    QStringList parts;
    for (const QDate& d : kept)
        parts.push_back(d.toString(Qt::ISODate));
    store_.save(kStateApp, kTraySection, kAnnouncedKey, parts.join(QLatin1Char(',')));
}

}  // namespace moonbite
