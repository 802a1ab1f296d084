// The computer's time zone, as the settings frame compares it with the
// entered one.
#pragma once

#include <QString>
#include <QTimeZone>
#include <utility>

class QDateTime;

namespace moonbite {

/// What the operating system reports about its time zone.
struct TimeZoneInfo {
    int status = 0;       ///< 0 unknown, 1 standard time in effect, 2 daylight time, -1 failure
    int biasMinutes = 0;  ///< Greenwich minus local standard time, minutes
    QString standardName;
    QString daylightName;
    int standardBias = 0;  ///< added to biasMinutes in standard time (usually 0)
    int daylightBias = 0;  ///< added to biasMinutes in daylight time (usually -60)
};

/// Where the time-zone information comes from; tests give a fake.
class TimeZoneSource {
  public:
    virtual ~TimeZoneSource() = default;
    [[nodiscard]] virtual TimeZoneInfo query() const = 0;
    /// The zone itself, for offsets by date; invalid when unknown (the
    /// computations then keep one fixed offset).
    [[nodiscard]] virtual QTimeZone zone() const = 0;
};

/// The system's zone through QTimeZone::systemTimeZone().
class SystemTimeZoneSource : public TimeZoneSource {
  public:
    [[nodiscard]] TimeZoneInfo query() const override;
    [[nodiscard]] QTimeZone zone() const override;
};

/// What the operating system would report for zone at the instant at (the
/// system source passes the system zone and now).
[[nodiscard]] TimeZoneInfo describeTimeZone(const QTimeZone& zone, const QDateTime& at);

/// A fixed answer, for tests and for machines without zone information.
class FixedTimeZoneSource : public TimeZoneSource {
  public:
    explicit FixedTimeZoneSource(TimeZoneInfo info, QTimeZone zone = {})
        : info_(std::move(info)), zone_(std::move(zone)) {}
    [[nodiscard]] TimeZoneInfo query() const override { return info_; }
    [[nodiscard]] QTimeZone zone() const override { return zone_; }
    void set(TimeZoneInfo info) { info_ = std::move(info); }
    void setZone(QTimeZone zone) { zone_ = std::move(zone); }

  private:
    TimeZoneInfo info_;
    QTimeZone zone_;
};

/// The result of ReadSystemTimeZone.
struct SystemZone {
    int offsetMinutes = 0;   ///< east positive
    double offsetHours = 0;  ///< offsetMinutes / 60
    QString name;            ///< the accumulator with the zone's name appended
};

/// Queries the source; with daylightAdjust False (the "Auto Daylight Savings
/// Adjust" box unchecked) standard time is used even while daylight time is in
/// effect. The name (at most 32 characters, up to a zero character) is
/// appended to accumulator. A failed query gives offset 0 and no name.
[[nodiscard]] SystemZone ReadSystemTimeZone(const TimeZoneSource& source, bool daylightAdjust,
                                            QString accumulator = {});

}  // namespace moonbite
