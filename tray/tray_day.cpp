#include "tray_day.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>

#include "current_place.h"
#include "day_driver.h"
#include "settings_store.h"
#include "solunar_day.h"

namespace moonbite {
namespace {

template <std::size_t N>
QString q(const FixedText<N>& text) {
    return QString::fromUtf8(text.str()).trimmed();
}

Date toDate(QDate d) {
    return Date::fromYmd(d.year(), d.month(), d.day()).value_or(Date{});
}

QDate toQDate(Date d) {
    const YearMonthDay ymd = d.ymd();
    return QDate(ymd.year, ymd.month, ymd.day);
}

QColor colourOf(std::int32_t number) {
    const auto n = static_cast<unsigned>(number);
    return QColor(static_cast<int>(n & 0xFF), static_cast<int>((n >> 8) & 0xFF),
                  static_cast<int>((n >> 16) & 0xFF));
}

/// The table's time of the new or full moon on a date, empty when it has none.
QString phaseTime(const PhaseTables& t, Date date, bool fullMoon) {
    for (int i = 0; i < kPhaseTableSize; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (fullMoon && t.fullMoonDate[k] == date && !t.fullMoonTime[k].empty())
            return q(t.fullMoonTime[k]);
        if (!fullMoon && t.newMoonDate[k] == date && !t.newMoonTime[k].empty())
            return q(t.newMoonTime[k]);
    }
    return {};
}

/// "11:32 PM (Moon above), 10:58 AM (Moon below)"; a period that starts on
/// another day is blank in the window and left out here.
QString periods(const QString& above, const QString& below) {
    QStringList parts;
    if (!above.isEmpty()) parts << above + QStringLiteral(" (Moon above)");
    if (!below.isEmpty()) parts << below + QStringLiteral(" (Moon below)");
    return parts.isEmpty() ? QStringLiteral("none this day") : parts.join(QStringLiteral(", "));
}

// "Moonrise 07:13 PM, moonset 04:43 AM"; a day without one says so in its
// own words ("No moonset"), and "Stays Up" once.
QString moonEvents(const TrayDay& d) {
    const bool riseIsTime = d.moonrise.contains(QLatin1Char(':'));
    const bool setIsTime = d.moonset.contains(QLatin1Char(':'));
    if (!riseIsTime && !setIsTime && d.moonrise == d.moonset) return d.moonrise;
    const QString rise = riseIsTime ? QStringLiteral("Moonrise ") + d.moonrise : d.moonrise;
    const QString set = setIsTime ? QStringLiteral("moonset ") + d.moonset : d.moonset;
    return rise + QStringLiteral(", ") + set;
}

}  // namespace

TrayDay DayComputer::compute(QDate date) const {
    const CurrentPlace place = readCurrentPlace(store_, zone_);
    SolunarState s;
    applyPlace(place, s);
    // The window's clock texts use the locale's designators.
    const QLocale locale;
    if (!locale.amText().isEmpty()) s.designators.am = locale.amText().toUtf8().toStdString();
    if (!locale.pmText().isEmpty()) s.designators.pm = locale.pmText().toUtf8().toStdString();
    s.reverseMoonImage = readBool(store_, keys::moonorth);
    s.plottedDayCount = 7;
    const Date day = toDate(date);
    s.today = day;
    setDateControls(s, day);
    computeDisplayedDay(s);

    TrayDay out;
    out.date = date;
    out.picture = s.Image3;
    out.phase = phaseName(s.Image3, s.reverseMoonImage, s.daysToNewMoon, s.daysToFullMoon);
    out.age = s.moonAge;
    out.moonrise = q(s.Text21);
    out.moonset = q(s.Text39);
    // calcmoon's day counts: the next event is the full moon when DF is not
    // negative, otherwise the new moon DN days ahead.
    const bool fullNext = s.daysToFullMoon >= 0;
    out.nextPhase = fullNext ? QStringLiteral("Full Moon") : QStringLiteral("New Moon");
    const Date next = day + (fullNext ? s.daysToFullMoon : s.daysToNewMoon);
    out.nextPhaseDate = toQDate(next);
    out.nextPhaseTime = phaseTime(s.phases, next, fullNext);
    out.score = s.predictionScore;
    out.rating = q(s.predictionWord);
    out.colour = ratingColour(s.predictionScore);
    out.majorAbove = q(s.Text4);
    out.majorBelow = q(s.Text5);
    out.minorAbove = q(s.Text7);
    out.minorBelow = q(s.Text8);
    for (int i = 0; i < std::min(7, s.graphRowCount); ++i)
        out.week.push_back({date.addDays(i), s.graphRows[static_cast<std::size_t>(i)].value});
    return out;
}

QString phaseName(int picture, bool reverseSet, int daysToNew, int daysToFull) {
    if (daysToNew == 0) return QStringLiteral("New Moon");
    if (daysToFull == 0) return QStringLiteral("Full Moon");
    if (picture < 100 || picture > 111) return {};
    // Step 0..11 through the cycle; the other picture set numbers the waxing
    // and waning pictures the other way round.
    int step = picture - 100;
    if (!reverseSet && step != 0) step = 12 - step;
    const bool waxing = daysToFull > 0;
    if (step == 0 || step == 6) {
        // The new or full picture a day either side of the event.
        if (step == 0)
            return waxing ? QStringLiteral("Waxing Crescent") : QStringLiteral("Waning Crescent");
        return waxing ? QStringLiteral("Waxing Gibbous") : QStringLiteral("Waning Gibbous");
    }
    if (step <= 2) return QStringLiteral("Waxing Crescent");
    if (step == 3) return QStringLiteral("First Quarter");
    if (step <= 5) return QStringLiteral("Waxing Gibbous");
    if (step <= 8) return QStringLiteral("Waning Gibbous");
    if (step == 9) return QStringLiteral("Last Quarter");
    return QStringLiteral("Waning Crescent");
}

QString ratingWord(int score) {
    const std::string_view word = predictionRating(score).word;
    return QString::fromUtf8(word.data(), static_cast<qsizetype>(word.size()));
}

QColor ratingColour(int score) {
    return colourOf(predictionRating(score).colour);
}

QString shortDate(QDate date) {
    return QLocale::c().toString(date, QStringLiteral("ddd d MMM yyyy"));
}

QString longDate(QDate date) {
    return QLocale::c().toString(date, QStringLiteral("dddd d MMMM yyyy"));
}

QString moonToolTip(const TrayDay& d) {
    QString next =
        QStringLiteral("Next %1: %2").arg(d.nextPhase.toLower(), shortDate(d.nextPhaseDate));
    if (d.nextPhaseDate == d.date) next = QStringLiteral("%1 today").arg(d.nextPhase);
    if (!d.nextPhaseTime.isEmpty()) next += QStringLiteral(", ") + d.nextPhaseTime;
    const QString age =
        d.age == 1 ? QStringLiteral("1 day old") : QStringLiteral("%1 days old").arg(d.age);
    return QStringLiteral("%1, %2\n%3\n%4").arg(d.phase, age, moonEvents(d), next);
}

QString fishToolTip(const TrayDay& d) {
    return QStringLiteral("Fishing today: %1\nMajor: %2\nMinor: %3")
        .arg(d.rating, periods(d.majorAbove, d.majorBelow), periods(d.minorAbove, d.minorBelow));
}

QString notificationTitle(const TrayDay& d) {
    return QStringLiteral("%1 fishing on %2").arg(d.rating, longDate(d.date));
}

QString notificationBody(const TrayDay& d) {
    return QStringLiteral("Major periods: %1\nMinor periods: %2")
        .arg(periods(d.majorAbove, d.majorBelow), periods(d.minorAbove, d.minorBelow));
}

}  // namespace moonbite
