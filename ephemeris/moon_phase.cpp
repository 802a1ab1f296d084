// The Moon's place in its cycle, measured against the new and full moon table:
// days to the new and full moon, age, phase picture and fishing prediction.
#include <cstdlib>

#include "solunar_day.h"

namespace moonbite {
namespace {

// One row of the case table: the picture with the reverse flag True / False,
// how the age is taken, and the score.
enum class AgeFrom { Fixed, AbsDN, DaysSinceNew };
struct PhaseCase {
    bool onNewMoon;  // the case tests DN (true) or DF (false)
    int days;
    std::int16_t pictureTrue;
    std::int16_t pictureFalse;
    AgeFrom age;
    std::int16_t fixedAge;
    std::int16_t score;
};

// Tested one after the other; a later case that holds overwrites an earlier one.
constexpr PhaseCase kCases[] = {
    {true, 0, 100, 100, AgeFrom::Fixed, 0, 66},
    {true, -1, 100, 100, AgeFrom::Fixed, 1, 100},
    {true, -2, 101, 111, AgeFrom::Fixed, 2, 100},
    {true, -3, 101, 111, AgeFrom::Fixed, 3, 100},
    {true, -4, 102, 110, AgeFrom::Fixed, 4, 66},
    {true, -5, 102, 110, AgeFrom::Fixed, 5, 33},
    {true, -6, 103, 109, AgeFrom::Fixed, 6, 0},
    {true, -7, 103, 109, AgeFrom::Fixed, 7, 0},
    {true, -8, 103, 109, AgeFrom::Fixed, 8, 0},
    {true, -9, 103, 109, AgeFrom::Fixed, 9, 0},
    {false, 6, 104, 108, AgeFrom::AbsDN, 0, 0},
    {false, 5, 104, 108, AgeFrom::AbsDN, 0, 33},
    {false, 4, 104, 108, AgeFrom::AbsDN, 0, 33},
    {false, 3, 105, 107, AgeFrom::AbsDN, 0, 100},
    {false, 2, 105, 107, AgeFrom::AbsDN, 0, 66},
    {false, 1, 106, 106, AgeFrom::AbsDN, 0, 66},
    {false, 0, 106, 106, AgeFrom::AbsDN, 0, 100},
    {false, -1, 106, 106, AgeFrom::DaysSinceNew, 0, 33},
    {false, -2, 107, 105, AgeFrom::DaysSinceNew, 0, 33},
    {false, -3, 107, 105, AgeFrom::DaysSinceNew, 0, 0},
    {false, -4, 108, 104, AgeFrom::DaysSinceNew, 0, 0},
    {false, -5, 108, 104, AgeFrom::DaysSinceNew, 0, 0},
    {false, -6, 109, 103, AgeFrom::DaysSinceNew, 0, 0},
    {false, -7, 109, 103, AgeFrom::DaysSinceNew, 0, 0},
    {false, -8, 109, 103, AgeFrom::DaysSinceNew, 0, 0},
    {false, -9, 109, 103, AgeFrom::DaysSinceNew, 0, 0},
    {true, 6, 110, 102, AgeFrom::DaysSinceNew, 0, 33},
    {true, 5, 110, 102, AgeFrom::DaysSinceNew, 0, 66},
    {true, 4, 110, 102, AgeFrom::DaysSinceNew, 0, 66},
    {true, 3, 111, 101, AgeFrom::DaysSinceNew, 0, 33},
    {true, 2, 111, 101, AgeFrom::DaysSinceNew, 0, 33},
    {true, 1, 100, 100, AgeFrom::DaysSinceNew, 0, 33},
};

// The year whose table covers a date: its own, or the year before for a
// January date (the table starts near 1 January and early January days may
// lie before its first new moon).
int tableYearFor(Date d) {
    const YearMonthDay ymd = d.ymd();
    return ymd.month == 1 ? ymd.year - 1 : ymd.year;
}

// Builds the right table first when the one in place was built for another
// year or zone, so that the search never runs off the table's ends.
void ensurePhaseTable(SolunarState& s) {
    const int wanted = tableYearFor(s.computationDate);
    const bool sameZone = s.zoneRule != nullptr
                              ? s.phaseTableRule == s.zoneRule->id()
                              : s.phaseTableRule == 0 && s.phaseTableZone == Val(s.timeZoneEntered);
    if (s.phaseTableYear == wanted && sameZone) return;
    const Date saved = s.computationDate;
    s.computationDate = Date::fromYmd(wanted, 1, 1).value_or(saved);
    calcmoontime(s);
    s.computationDate = saved;
}

void showPhaseLabels(SolunarState& s, std::size_t I) {
    const bool onNew = s.daysToNewMoon == 0;
    const bool onFull = s.daysToFullMoon == 0;
    if (s.journalRequest) {
        s.journalRequest = false;
        if (!onNew || !onFull) s.Form3Label14.visible = false;
        if (onNew) {
            s.Form3Label14.visible = true;
            s.Form3Label14.caption = "New Moon ";
            s.Form3Label14.caption.append(s.phases.newMoonTime[I].view());
        } else if (onFull) {
            s.Form3Label14.visible = true;
            s.Form3Label14.caption = "Full Moon ";
            s.Form3Label14.caption.append(s.phases.fullMoonTime[I].view());
        }
        return;
    }
    if (!onNew || !onFull) {
        s.Label14.visible = false;
        s.Label18.visible = false;
    }
    if (onNew) {
        s.Label14.visible = s.Label18.visible = true;
        s.Label14.caption = "New Moon";
        s.Label18.caption = s.phases.newMoonTime[I].view();
        s.Label18At = s.phases.newMoonAt[I];
    } else if (onFull) {
        s.Label14.visible = s.Label18.visible = true;
        s.Label14.caption = "Full Moon";
        s.Label18.caption = s.phases.fullMoonTime[I].view();
        s.Label18At = s.phases.fullMoonAt[I];
    }
}

}  // namespace

PredictionRating predictionRating(int score) {
    switch (score) {
        case 0:
            return {"Poor", 16777215};
        case 33:
            return {"Fair", 8454143};
        case 66:
            return {"Good", 65280};
        case 100:
            return {"Excellent", 12582912};
        default:
            return {"", 0};
    }
}

void calcmoon(SolunarState& s) {
    ensurePhaseTable(s);
    PhaseTables& t = s.phases;
    const Date cd = s.computationDate;

    // Search the table for the next new or full moon. New moons stand at even
    // indices and full moons at odd ones; an index holding the other kind is
    // recognised by its parity (the entry itself is the zero date, which a
    // distance test would take for an event near the start of 1901).
    int I = 2;
    int dF = 0;
    int dN = 0;
    int dP = 0;
    for (; I <= 28; ++I) {
        const auto i = static_cast<std::size_t>(I);
        dF = t.fullMoonDate[i] - cd;
        dN = t.newMoonDate[i] - cd;
        dP = t.newMoonDate[i - 2] - cd;
        if (I % 2 == 0) {  // no full moon here: take the next one
            dF = t.fullMoonDate[i + 1] - cd;
            t.fullMoonTime[i] = t.fullMoonTime[i + 1];
            t.fullMoonAt[i] = t.fullMoonAt[i + 1];
        } else {  // no new moon here, nor two places back
            dN = t.newMoonDate[i + 1] - cd;
            t.newMoonTime[i] = t.newMoonTime[i + 1];
            t.newMoonAt[i] = t.newMoonAt[i + 1];
            dP = std::abs(t.newMoonDate[i - 1] - cd);
        }
        if ((dF >= 0 && dF < 29) || (dN >= 0 && dN < 29)) break;
    }
    s.phaseIndex = static_cast<std::int16_t>(I);
    s.daysToNewMoon = toInt16(dN);
    s.daysToFullMoon = toInt16(dF);

    if (s.graphInProgress) showPhaseLabels(s, static_cast<std::size_t>(I));

    const std::int16_t A = toInt16(dP);
    const int DN = s.daysToNewMoon;
    const int DF = s.daysToFullMoon;
    for (const PhaseCase& c : kCases) {
        if ((c.onNewMoon ? DN : DF) != c.days) continue;
        s.moonPicture = s.reverseMoonImage ? c.pictureTrue : c.pictureFalse;
        switch (c.age) {
            case AgeFrom::Fixed:
                s.moonAge = c.fixedAge;
                break;
            case AgeFrom::AbsDN:
                s.moonAge = static_cast<std::int16_t>(std::abs(DN));
                break;
            case AgeFrom::DaysSinceNew:
                s.moonAge = A;
                break;
        }
        s.predictionScore = c.score;
    }

    const PredictionRating r = predictionRating(s.predictionScore);
    if (!r.word.empty()) {
        s.predictionWord = r.word;
        s.predictionColour.clear();
        s.predictionColour.appendInt(r.colour);
    }
}

}  // namespace moonbite
