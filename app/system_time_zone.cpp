#include "system_time_zone.h"

#include <QDateTime>
#include <QTimeZone>
#include <algorithm>

namespace moonbite {

namespace {

constexpr int kMaxNameLength = 32;

// The amount daylight time adds to standard time in zone, in seconds, or 0
// when the zone does not keep daylight time at present. A zone that kept it
// once and gave it up (hasDaylightTime() may still say yes) counts as without.
int daylightShiftSeconds(const QTimeZone& zone, const QDateTime& at) {
    if (zone.isDaylightTime(at)) {
        const int shift = zone.offsetFromUtc(at) - zone.standardTimeOffset(at);
        // Daylight time by the zone's own word, even where the offsets match.
        return shift != 0 ? shift : 3600;
    }
    if (!zone.hasDaylightTime()) return 0;
    if (zone.hasTransitions()) {
        const QTimeZone::OffsetData next = zone.nextTransition(at);
        return next.atUtc.isValid() ? next.daylightTimeOffset : 0;
    }
    // Without a transition table, half a year on is in the other season.
    const QDateTime later = at.addMonths(6);
    return zone.isDaylightTime(later) ? zone.daylightTimeOffset(later) : 0;
}

QString zoneName(const QTimeZone& zone, QTimeZone::TimeType type) {
    const QString name = zone.displayName(type, QTimeZone::LongName);
    return name.isEmpty() ? QString::fromUtf8(zone.id()) : name;
}

void appendName(QString& accumulator, const QString& name) {
    const qsizetype count = std::min<qsizetype>(name.size(), kMaxNameLength);
    for (qsizetype i = 0; i < count; ++i) {
        if (name.at(i).isNull()) break;
        accumulator += name.at(i);
    }
}

}  // namespace

TimeZoneInfo describeTimeZone(const QTimeZone& zone, const QDateTime& at) {
    TimeZoneInfo info;
    if (!zone.isValid() || !at.isValid()) {
        info.status = -1;
        return info;
    }
    const int standardSeconds = zone.standardTimeOffset(at);
    const int shiftSeconds = daylightShiftSeconds(zone, at);
    info.biasMinutes = -standardSeconds / 60;
    info.standardBias = 0;
    info.daylightBias = -shiftSeconds / 60;
    info.standardName = zoneName(zone, QTimeZone::StandardTime);
    info.daylightName = zoneName(zone, QTimeZone::DaylightTime);
    if (shiftSeconds == 0)
        info.status = 0;
    else
        info.status = zone.isDaylightTime(at) ? 2 : 1;
    return info;
}

QTimeZone SystemTimeZoneSource::zone() const {
    return QTimeZone::systemTimeZone();
}

TimeZoneInfo SystemTimeZoneSource::query() const {
    return describeTimeZone(QTimeZone::systemTimeZone(), QDateTime::currentDateTimeUtc());
}

SystemZone ReadSystemTimeZone(const TimeZoneSource& source, bool daylightAdjust,
                              QString accumulator) {
    const TimeZoneInfo info = source.query();
    int status = info.status;
    // Unchecked "Auto Daylight Savings Adjust": standard time all year.
    if (!daylightAdjust && status == 2) status = 0;

    SystemZone zone;
    if (status == 0 || status == 1) {
        zone.offsetMinutes = -(info.biasMinutes + info.standardBias);
        appendName(accumulator, info.standardName);
    } else if (status == 2) {
        zone.offsetMinutes = -(info.biasMinutes + info.daylightBias);
        appendName(accumulator, info.daylightName);
    }
    zone.offsetHours = zone.offsetMinutes / 60.0;
    zone.name = std::move(accumulator);
    return zone;
}

}  // namespace moonbite
