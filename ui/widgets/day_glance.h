// The displayed day's 24 hours (23 or 25 on a clock change) as one strip:
// night, twilight and daylight from the Sun's altitude, the fishing periods as
// bands, the Moon's rise, set and transits as ticks and the day's tide curve,
// with a sentence description of the same for a screen reader.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <optional>
#include <utility>
#include <vector>

#include "calendar_time.h"
#include "date.h"
#include "place_tides.h"
#include "zone_rule.h"

class QTimer;

namespace moonbite {

struct SolunarState;

class DayGlance : public QWidget {
    Q_OBJECT

  public:
    enum class Light { Night, Twilight, Daylight };

    /// The colours the strip paints with, all taken from the palette.
    struct Colours {
        QColor night, twilight, daylight;  ///< the sky's shading
        QColor major, minor;               ///< the period bands (translucent)
        QColor text;                       ///< labels inside the strip
        QColor axisBackground, axisText;   ///< the hour scale under it
        QColor curve;                      ///< the tide curve and its marks
        QColor moon;                       ///< the Moon's ticks
        QColor frame;
    };

    explicit DayGlance(QWidget* parent = nullptr);
    ~DayGlance() override;

    /// Shows a day from a state whose day computation for date has run.
    /// tides: the day's tides at stationName, or null for none.
    void setDay(const SolunarState& s, Date date, const tides::DayTides* tides,
                const QString& stationName);
    /// No place: a blank strip.
    void clear();
    /// The current time the "now" marker shows; nothing for the system clock.
    void setNow(std::optional<tides::UnixSeconds> now);

    [[nodiscard]] QString description() const { return description_; }
    [[nodiscard]] bool hasDay() const { return hasDay_; }
    [[nodiscard]] Colours colours() const;

    /// Where an instant falls across the width (0 at the day's first
    /// midnight, width() at its last); the clock day's instants only.
    [[nodiscard]] double xOf(Instant t) const;
    /// The instant under a horizontal position.
    [[nodiscard]] Instant instantAtX(double x) const;
    /// The tip shown over a position: its clock time, the sky, a period it
    /// lies in and, with tides, the height there.
    [[nodiscard]] QString tipAt(double x) const;
    /// The sky at an instant of the shown day.
    [[nodiscard]] Light lightAt(Instant t) const;

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    struct Segment {
        Instant from = 0;
        Instant to = 0;
        Light light = Light::Night;
        QString endText;  ///< the clock text of its end (the day's box at a sunrise or sunset)
    };
    struct Period {
        Instant from = 0;
        Instant to = 0;
        bool major = false;
    };
    enum class MoonEvent { Rise, Set, Overhead, Underfoot };
    struct MoonMark {
        Instant at = 0;
        MoonEvent event = MoonEvent::Rise;
    };

    [[nodiscard]] Instant clockOffsetAt(Instant t) const;
    [[nodiscard]] int minuteOfDay(Instant t) const;
    [[nodiscard]] QString clockText(Instant t) const;
    [[nodiscard]] QString shortClock(Instant t) const;
    [[nodiscard]] QString hourLabel(int hour) const;
    [[nodiscard]] std::optional<Instant> instantAtMinute(int minute) const;
    void findLight(const SolunarState& s);
    void describe(const SolunarState& s);
    [[nodiscard]] std::optional<tides::UnixSeconds> nowShown() const;

    bool hasDay_ = false;
    double latitude_ = 0;
    double longitude_ = 0;
    Date date_;
    Instant begin_ = 0;
    Instant end_ = kSecondsPerDay;
    /// The clock's offset (seconds east) from each instant on, in order.
    std::vector<std::pair<Instant, Instant>> offsets_;
    ClockDesignators designators_;
    std::vector<Segment> segments_;
    std::vector<Period> periods_;
    std::vector<MoonMark> moon_;
    std::optional<tides::DayTides> tides_;
    QString station_;
    QString description_;
    std::optional<tides::UnixSeconds> now_;
    QTimer* minuteTimer_ = nullptr;
};

}  // namespace moonbite
