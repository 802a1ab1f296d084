#include "current_place.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <utility>

namespace moonbite {

QtZoneRule::QtZoneRule(QTimeZone zone) : zone_(std::move(zone)) {}

double QtZoneRule::hoursOn(Date date) const {
    const auto key = static_cast<std::int32_t>(date.serial());
    if (const auto found = known_.find(key); found != known_.end()) return found->second;
    const YearMonthDay ymd = date.ymd();
    const QDateTime noon(QDate(ymd.year, ymd.month, ymd.day), QTime(12, 0), zone_);
    const double hours = zone_.offsetFromUtc(noon) / 3600.0;
    if (known_.size() > 4096) known_.clear();
    known_.emplace(key, hours);
    return hours;
}

double QtZoneRule::hoursAt(Instant t) const {
    const auto at = QDateTime::fromSecsSinceEpoch(t - kUnixEpochInstant, QTimeZone::utc());
    return zone_.offsetFromUtc(at) / 3600.0;
}

bool isKnownZoneName(const QString& name) {
    // The form is checked first: Qt may open a path it is given (a named pipe).
    return !name.isEmpty() && isZoneDatabaseName(name.toStdString()) &&
           QTimeZone::isTimeZoneIdAvailable(name.toUtf8());
}

CurrentPlace readCurrentPlace(const SettingsStore& store, const QTimeZone& systemZone) {
    CurrentPlace place;
    // The settings frame keeps these in range; a value it could not correct
    // (a hand-edited 1e300, "nan") takes its default.
    const double latdeg = readRealInRange(store, keys::latdeg, 0, 89);
    const double londeg = readRealInRange(store, keys::londeg, 0, 179);
    const double latmin = readRealInRange(store, keys::latmin, 0, 59);
    const double lonmin = readRealInRange(store, keys::lonmin, 0, 59);
    place.latitude = latdeg + latmin / 60;
    place.longitude = londeg + lonmin / 60;
    if (readText(store, keys::NorS) == QLatin1String("S")) place.latitude = -place.latitude;
    if (readText(store, keys::WorE) == QLatin1String("W")) place.longitude = -place.longitude;
    place.zone = readRealInRange(store, keys::gmtForComputation, -12, 13);

    const QString name = readText(store, keys::tzname);
    if (isKnownZoneName(name)) {
        place.rule = std::make_shared<QtZoneRule>(QTimeZone(name.toUtf8()));
    } else if (!readBool(store, keys::custom) && readInt(store, keys::daylight) == 1 &&
               systemZone.isValid()) {
        place.rule = std::make_shared<QtZoneRule>(systemZone);
    }
    return place;
}

void applyPlace(const CurrentPlace& place, SolunarState& state) {
    state.latitude = place.latitude;
    state.longitude = place.longitude;
    numberText(state.timeZoneEntered, place.zone);
    numberText(state.timeZoneForComputations, -place.zone);
    state.zoneRule = place.rule.get();
}

}  // namespace moonbite
