// The program-wide values of the solunar computation and the procedures that
// work on them.
//
// The procedures take no arguments besides the state: they read the
// computation date, the location and the time zone from it and write their
// results, the box and label texts of the main window included, back into it.
// Several behaviours depend on values that survive from one call to the next
// (the moonrise clock texts, calcmoon's outputs, table entries that are never
// written), so the state is one explicit object that a window owns and shows.
#pragma once

#include <array>
#include <cstdint>

#include "calendar_time.h"
#include "date.h"
#include "fixed_text.h"
#include "zone_rule.h"

namespace moonbite {

/// The most days the prediction graph shows.
inline constexpr int kMaxGraphDays = 60;
/// Entries of the new and full moon table (index 0..30).
inline constexpr int kPhaseTableSize = 31;

/// A label (or a box that can be hidden): its caption and whether it shows.
struct Label {
    Text caption;
    bool visible = false;
};

/// One row of the prediction graph: "31/1" (or "1/31") and the score.
struct GraphRow {
    FixedText<7> label;
    std::int16_t value = 0;
};

/// The new and full moon table. New moons stand at even indices, full moons
/// at odd ones; the other entries are never written by the table builder and
/// keep the zero date and an empty time.
struct PhaseTables {
    std::array<Date, kPhaseTableSize> newMoonDate{};
    std::array<FixedText<23>, kPhaseTableSize> newMoonTime{};
    std::array<Date, kPhaseTableSize> fullMoonDate{};
    std::array<FixedText<23>, kPhaseTableSize> fullMoonTime{};
    std::array<Instant, kPhaseTableSize> newMoonAt{};  ///< the instant each time text shows
    std::array<Instant, kPhaseTableSize> fullMoonAt{};
};

struct SolunarState {
    // --- Clock and designators --------------------------------------------
    ClockDesignators designators;  ///< "AM"/"PM" unless a window passes its locale's
    Date today;                    ///< today's date, set by the caller's clock

    // --- Program-wide inputs ----------------------------------------------
    Date computationDate;        ///< the date every procedure reads
    Text displayedDateText;      ///< "21 January 2000"; majorminor reads it as a date
    Text startDateText;          ///< first day of the graph, or the printed calendar's cell date
    double latitude = 0;         ///< decimal degrees, north positive
    double longitude = 0;        ///< decimal degrees, east positive
    Text timeZoneEntered = "0";  ///< hours east of Greenwich, as entered ("gmt")
    Text timeZoneForComputations = "0";  ///< its negation, read by the Sun and Moon rise procedures
    /// The zone by date, when the place's clocks follow daylight saving: each
    /// date is computed with its own offset (useZoneOf). Not owned.
    const ZoneRule* zoneRule = nullptr;

    // --- Mode flags -------------------------------------------------------
    bool graphInProgress = true;      ///< False only while the graph fills its rows
    bool journalRequest = false;      ///< the journal asks for the phase caption
    bool reverseMoonImage = true;     ///< picture set; "moonorth" defaults to True
    bool dateOrderMonthFirst = true;  ///< False = day/month; the first-run order is month first
    bool textTipsShown = true;        ///< "Show &Text Tips" is checked

    // --- Main window date controls -----------------------------------------
    Text Text1 = "1";              ///< day box
    int Combo1 = 0;                ///< month list index, 0 = January .. 11 = December
    Text Text10 = "2000";          ///< year box
    bool Command7Visible = false;  ///< "&Today"
    Label Label19;                 ///< "Equinox" / "Solstice"
    Label LabelClockChange;        ///< "Clocks go forward" / "Clocks go back" on that date
    std::int16_t myweekday = 0;
    Text Label10;  ///< weekday name

    // --- Prediction graph rows ----------------------------------------------
    std::int16_t plottedDayCount = 15;
    int graphRowCount = 0;
    std::array<GraphRow, kMaxGraphDays> graphRows{};

    // --- New and full moon table (calcmoontime) -----------------------------
    PhaseTables phases;
    double monthNumber = 0;     ///< read by MonthNameFromNumber
    Text monthNameText;         ///< written by MonthNameFromNumber
    int phaseTableYear = 0;     ///< year the table was last built for (0: never)
    double phaseTableZone = 0;  ///< time zone the table was last built with
    std::uint64_t phaseTableRule =
        0;  ///< the rule's id when built by date (each entry its own offset)

    /// The last two tables built, so that alternating between a year and the
    /// one before (January dates, the graph across February) does not compute
    /// the same table again. Results are identical to building it anew.
    struct BuiltPhaseTable {
        bool valid = false;
        int year = 0;
        double zone = 0;
        std::uint64_t rule = 0;
        ClockDesignators designators;
        PhaseTables tables;
        double monthNumber = 0;
        Text monthNameText;
    };
    std::array<BuiltPhaseTable, 2> builtPhaseTables{};

    // --- Moon phase and prediction (calcmoon) ---------------------------------
    std::int16_t phaseIndex = 0;
    std::int16_t daysToNewMoon = 0;   ///< DN
    std::int16_t daysToFullMoon = 0;  ///< DF
    std::int16_t moonPicture = 0;     ///< icon number 100..111 (0 until a case held)
    std::int16_t moonAge = 0;
    std::int16_t predictionScore = 0;
    Text predictionWord;
    Text predictionColour;           ///< decimal text of the colour number
    Label Label14;                   ///< main window phase caption
    Label Label18;                   ///< main window phase time
    Instant Label18At = kNoInstant;  ///< the instant Label18 shows
    Label Form3Label14;              ///< journal window phase caption
    std::int16_t Image3 = 0;         ///< phase picture shown
    Text Image5Tip;                  ///< prediction picture's tip
    std::int32_t Picture2BackColor = 0;
    Text Text9;  ///< Moon age

    // --- Sunrise and sunset (Sunriseset) --------------------------------------
    /// The latitude and longitude as Sunriseset reads them back from their
    /// texts; remembered so that the texts are only made when the values change.
    struct ThroughText {
        double value = 0;
        double read = 0;
        bool valid = false;
    };
    ThroughText latitudeAsRead;
    ThroughText longitudeAsRead;
    Text sunriseText;
    Text sunsetText;
    Text Text2;                     ///< element 2: sunrise
    Text Text32;                    ///< element 2: sunset
    Text Text6;                     ///< day length
    Instant Text2At = kNoInstant;   ///< the instant of the sunrise Text2 shows
    Instant Text32At = kNoInstant;  ///< the instant of the sunset Text32 shows

    // --- Moonrise and moonset (moonriseset) ------------------------------------
    Text moonriseText;
    Text moonsetText;
    Text riseClockText;  ///< "   19 : 13"; kept on a date without a moonrise
    Text setClockText;   ///< the same for the moonset
    /// Seconds east of Greenwich each clock text was read with (kNoInstant
    /// before the first event): majorminor turns the texts back into instants.
    Instant riseClockZone = kNoInstant;
    Instant setClockZone = kNoInstant;
    bool nomoon = false;
    bool nomoonset = false;
    bool special = false;
    Text Text21;  ///< element 1: moonrise
    Text Text39;  ///< element 1: moonset
    Text Text4;   ///< element 1: "Major" "Moon Above"
    Text Text5;   ///< "Major" "Moon Below"
    Text Text7;   ///< "Minor" "Moon Above"
    Text Text8;   ///< "Minor" "Moon Below"

    // --- Fishing periods (majorminor) ------------------------------------------
    std::int16_t dai = 0;
    Date eventDay;
    Instant minorStart = 0;  ///< the instant the last minor period worked out starts
    Text minorRiseText;
    Text majorAboveText;
    Text minorSetText;
    Text majorBelowText;
    /// The instants at which the periods in Text4, Text5, Text8 (moonrise) and
    /// Text7 (moonset) start; kNoInstant when the box shows no time.
    Instant Text4At = kNoInstant;
    Instant Text5At = kNoInstant;
    Instant Text8At = kNoInstant;
    Instant Text7At = kNoInstant;

    // --- Lunar distance (lundist) ----------------------------------------------
    double lunarDistance = 0;  ///< Earth radii
    Text Label13;              ///< whole kilometres
    double scaleFactor = 1;    ///< the window's horizontal scale factor
    float Image2Left = 0;      ///< gauge marker, twips
    float Line1X2 = 0;         ///< gauge pointer end, twips
};

// ---------------------------------------------------------------------------
// The procedures. Each reads its inputs from the state and writes its results
// and the boxes it fills back into it; the .cpp files give the steps.

/// Sunrise, sunset and day length of the computation date.
void Sunriseset(SolunarState& s);

/// Sets monthNameText from monthNumber ("January" .. "November", " December").
void MonthNameFromNumber(SolunarState& s);

/// Fills the new and full moon table for the year of the computation date.
void calcmoontime(SolunarState& s);

/// Moon age, phase picture and fishing prediction of the computation date.
void calcmoon(SolunarState& s);

/// Moonrise and moonset of the computation date.
void moonriseset(SolunarState& s);

/// The displayed date's moonrise, moonset and the four fishing periods.
void majorminor(SolunarState& s);

/// Distance of the Moon on the computation date and its gauge position.
void lundist(SolunarState& s);

/// Julian day number at noon as the distance series counts it (1 January 2000 gives 2451545).
[[nodiscard]] double dayNumberAtNoon(int year, int month, int day);

/// Places the gauge marker and pointer from the stored distance and scale factor
/// (the window calls it again after a resize).
void placeGauge(SolunarState& s);

/// Weekday name of myweekday into Label10.
void weakday(SolunarState& s);

/// The prediction's word and colour for a score (0, 33, 66, 100).
struct PredictionRating {
    std::string_view word;
    std::int32_t colour = 0;
};
[[nodiscard]] PredictionRating predictionRating(int score);

}  // namespace moonbite
