// The installed harmonics file's Friday Harbor station, for the tests of the
// printed tides: the stations read once per test binary, a state at the
// station, and its tides as the print window is given them.
#pragma once

#include <gtest/gtest.h>

#include <QDateTime>
#include <QTimeZone>
#include <functional>
#include <optional>
#include <string>

#include "current_place.h"
#include "page_log.h"
#include "place_tides.h"

namespace moonbite::testing {

/// The stations of the installed file; null when it cannot be read (the
/// tests then fail on it rather than pass without it).
inline const tides::TideDatabase* harmonics() {
    static const std::optional<tides::TideDatabase> db = [] {
        tides::LoadResult r = tides::loadTideDatabase(tides::defaultHarmonicsPath());
        if (!r.database) ADD_FAILURE() << "no harmonics file: " << r.error;
        return std::move(r.database);
    }();
    return db ? &*db : nullptr;
}

inline constexpr const char* kFridayHarborId = "9449880";

inline const tides::TideStation* fridayHarbor() {
    const tides::TideDatabase* db = harmonics();
    if (db == nullptr) return nullptr;
    for (int i : tides::findStations(*db, "Friday Harbor")) {
        const tides::TideStation& station = db->stations[static_cast<std::size_t>(i)];
        if (station.id == kFridayHarborId && station.reference) return &station;
    }
    ADD_FAILURE() << "no Friday Harbor reference station in " << db->source;
    return nullptr;
}

/// The place at the station, on Pacific Standard Time all year.
inline SolunarState fridayHarborState() {
    return stateAt(48.5453, -123.0125, "-8", "8");
}

/// The station's tides by the state's clock, as the main window hands them on.
inline std::function<tides::DayTides(const SolunarState&, Date)> fridayHarborTides() {
    return [](const SolunarState& s, Date d) {
        return tides::dayTides(*harmonics(), *fridayHarbor(), s, d);
    };
}

/// A day's highs and lows worked out apart from the program's clock code:
/// the day's bounds and each time of day from Qt's time zones, as
/// "H 05:12 AM 1.83" with AM and PM.
inline QStringList expectedTideTexts(const QTimeZone& zone, int year, int month, int day) {
    const QDate date(year, month, day);
    const qint64 from = QDateTime(date, QTime(0, 0), zone).toSecsSinceEpoch();
    const qint64 to = QDateTime(date.addDays(1), QTime(0, 0), zone).toSecsSinceEpoch();
    QStringList texts;
    for (const tides::TideEvent& e : tides::tideEvents(*harmonics(), *fridayHarbor(), from, to)) {
        const QTime t = QDateTime::fromSecsSinceEpoch(e.time, zone).time();
        const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
        double metres = std::round(e.heightMetres * 100) / 100;
        if (metres == 0) metres = 0;
        texts << QString::asprintf("%s %02d:%02d %s %.2f", e.high ? "H" : "L", hour12, t.minute(),
                                   t.hour() < 12 ? "AM" : "PM", metres);
    }
    return texts;
}

}  // namespace moonbite::testing
