// Shared by the journal suites: readable values in failure messages and
// sample trips.
#pragma once

#include <QString>
#include <ostream>

#include "journal_file.h"

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace moonbite {

inline void PrintTo(const JournalEntry& e, std::ostream* os) {
    const QString fields[] = {e.day,      e.month,       e.year,         e.notes,    e.temperature,
                              e.tripTime, e.tideType,    e.windStrength, e.quantity, e.wind,
                              e.tide,     e.catchRating, e.gps1,         e.gps2,     e.bestTime};
    *os << '{';
    for (const QString& f : fields)
        *os << '"' << f.toStdString() << "\" ";
    *os << '}';
}

inline void PrintTo(JournalReadStatus status, std::ostream* os) {
    switch (status) {
        case JournalReadStatus::Ok:
            *os << "Ok";
            break;
        case JournalReadStatus::Missing:
            *os << "Missing";
            break;
        case JournalReadStatus::Broken:
            *os << "Broken";
            break;
    }
}

/// A plain trip; its file is written out by hand in the format tests.
inline JournalEntry sampleEntry() {
    JournalEntry e;
    e.day = "25";
    e.month = "3";
    e.year = "1999";
    e.notes = "Flat calm at dawn.\nTwo bass, one lost at the net.";
    e.temperature = "14";
    e.tripTime = "5 hours";
    e.tideType = "Spring";
    e.windStrength = "Light";
    e.quantity = "2";
    e.wind = "NE";
    e.tide = "Rising";
    e.catchRating = "Good";
    e.gps1 = "50 22.5 N";
    e.gps2 = "4 08.1 W";
    e.bestTime = "06:10-08:10";
    return e;
}

/// Every field different, with commas, blanks at the ends, several lines,
/// non-ASCII text and characters outside the BMP, and one field empty.
inline JournalEntry richEntry() {
    JournalEntry e;
    e.day = "7";
    e.month = "11";
    e.year = "2031";
    e.notes = QString::fromUtf8(
        "Lac L\xC3\xA9man, north shore.\n\nPike, perch, perch \xF0\x9F\x8E\xA3\n  indented line\n");
    e.temperature = QString::fromUtf8(
        "-3 \xC2\xB0"
        "C");
    e.tripTime = "2h, 30m";
    e.tideType = "";
    e.windStrength = "Force 4, gusting 6";
    e.quantity = " 12 ";
    e.wind = "SSW";
    e.tide = QString::fromUtf8("Ebb \xE2\x86\x92 low");
    e.catchRating = "****";
    e.gps1 = QString::fromUtf8("46\xC2\xB0 24.1' N");
    e.gps2 = QString::fromUtf8("\xE6\x97\xA5\xE6\x9C\xAC, 6\xC2\xB0 31.9' E");
    e.bestTime = "17:40 - 19:40";
    return e;
}

}  // namespace moonbite
