// Coordinates as written: every accepted form, every kind of refusal, pairs,
// rounding to the settings frame's degrees and minutes, and bytes that are not text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <string_view>

#include "coordinate_text.h"

namespace moonbite::places {
namespace {

constexpr Axis kLat = Axis::Latitude;
constexpr Axis kLon = Axis::Longitude;
using E = CoordinateError;

double dms(double d, double m, double s = 0) {
    return d + m / 60 + s / 3600;
}

struct Accepted {
    const char* name;
    std::string_view text;
    Axis axis;
    double degrees;
};

TEST(CoordinateText, ReadsEveryWrittenForm) {
    const Accepted rows[] = {
        {"decimal", "34.73", kLat, 34.73},
        {"decimal with minus", "-81.78", kLon, -81.78},
        {"decimal with plus", "+151.2", kLon, 151.2},
        {"whole degrees", "24", kLat, 24},
        {"leading zeros", "007.5E", kLon, 7.5},
        {"letter after", "34.73N", kLat, 34.73},
        {"letter before, blank", "S 33.87", kLat, -33.87},
        {"lower-case letter before", "n34.73", kLat, 34.73},
        {"lower-case west", "81.78w", kLon, -81.78},
        {"colon", "24:33N", kLat, dms(24, 33)},
        {"colon, decimal minutes", "24:33.3N", kLat, dms(24, 33.3)},
        {"colon, minus instead of letter", "-81:47", kLon, -dms(81, 47)},
        {"colon with seconds", "24:33:20S", kLat, -dms(24, 33, 20)},
        {"degree and apostrophe", "24\u00B033'N", kLat, dms(24, 33)},
        {"ordinal sign for degree", "24\u00BA33'N", kLat, dms(24, 33)},
        {"prime, blanks between", "24\u00B0 33.3\u2032 N", kLat, dms(24, 33.3)},
        {"right quote for minutes", "24\u00B033\u2019N", kLat, dms(24, 33)},
        {"seconds, quote", "24\u00B033'20\"N", kLat, dms(24, 33, 20)},
        {"seconds, primes", "24\u00B033\u203220\u2033N", kLat, dms(24, 33, 20)},
        {"seconds, two apostrophes", "24\u00B033'20''N", kLat, dms(24, 33, 20)},
        {"seconds, right double quote", "24\u00B033\u201920\u201DN", kLat, dms(24, 33, 20)},
        {"decimal seconds", "24\u00B033'20.5\"S", kLat, -dms(24, 33, 20.5)},
        {"letter before marks", "W 81\u00B047'30\"", kLon, -dms(81, 47, 30)},
        {"last mark left out", "24\u00B033 N", kLat, dms(24, 33)},
        {"degree mark only", "24.5\u00B0S", kLat, -24.5},
        {"d m s letters", "24d33m20sN", kLat, dms(24, 33, 20)},
        {"d m s, no letter: s is seconds", "24d33m20s", kLat, dms(24, 33, 20)},
        {"d m s, seconds then south", "24d33m20ss", kLat, -dms(24, 33, 20)},
        {"upper-case S is south", "24D33M20S", kLat, -dms(24, 33, 20)},
        {"d and decimal m", "24d 33.3m", kLat, dms(24, 33.3)},
        {"blanks", "24 33 N", kLat, dms(24, 33)},
        {"blanks with seconds", "24 33 20 N", kLat, dms(24, 33, 20)},
        {"blanks, minus instead of letter", "-24 33", kLat, -dms(24, 33)},
        {"tabs and no-break spaces", "\t24\u00A033\u00A0E ", kLon, dms(24, 33)},
        {"latitude just inside", "89.99", kLat, 89.99},
        {"latitude at the last second", "89\u00B059'59.999\"S", kLat, -dms(89, 59, 59.999)},
        {"longitude just inside", "179.999", kLon, 179.999},
        {"longitude at the last second", "179 59 59.999 W", kLon, -dms(179, 59, 59.999)},
        {"zero", "0", kLon, 0},
    };
    for (const Accepted& row : rows) {
        SCOPED_TRACE(row.name);
        const ParsedCoordinate got = parseCoordinate(row.text, row.axis);
        EXPECT_EQ(got.error, E::None) << describe(got.error);
        EXPECT_NEAR(got.degrees, row.degrees, 1e-9);
    }
}

struct Refused {
    const char* name;
    std::string_view text;
    Axis axis;
    CoordinateError error;
};

TEST(CoordinateText, RefusesWithTheReason) {
    const Refused rows[] = {
        {"nothing", "", kLat, E::Empty},
        {"blanks only", " \t\u00A0 ", kLon, E::Empty},
        {"word", "abc", kLat, E::Unreadable},
        {"trailing junk", "12a", kLat, E::Unreadable},
        {"exponent", "1e5", kLon, E::Unreadable},
        {"hexadecimal", "0x10", kLat, E::Unreadable},
        {"infinity", "inf", kLat, E::Unreadable},
        {"not a number", "nan", kLat, E::Unreadable},
        {"two minus signs", "--5", kLat, E::Unreadable},
        {"sign after the number", "24-", kLat, E::Unreadable},
        {"doubled degree mark", "24\u00B0\u00B033", kLat, E::Unreadable},
        {"letter in the middle", "24 N 33", kLat, E::Unreadable},
        {"letters at both ends", "N24S", kLat, E::Unreadable},
        {"two decimal points", "24.5.3", kLat, E::Unreadable},
        {"point without digits after", "24.", kLat, E::Unreadable},
        {"decimals before the last part", "24.5\u00B033'", kLat, E::Unreadable},
        {"four integer digits", "1234", kLon, E::Unreadable},
        {"decimal comma", "34,73", kLat, E::Unreadable},
        {"colon without letter", "24:33", kLat, E::Unreadable},
        {"colon with plus only", "+24:33", kLat, E::Unreadable},
        {"colon at the end", "24:N", kLat, E::Unreadable},
        {"plain numbers without letter", "24 33", kLat, E::Unreadable},
        {"minute mark on degrees", "24'N", kLat, E::Unreadable},
        {"seconds mark in minutes' place", "24\u00B033''N", kLat, E::Unreadable},
        {"middle mark left out", "24\u00B033 20\"N", kLat, E::Unreadable},
        {"four parts", "24 33 20 10 N", kLat, E::Unreadable},
        {"letter alone", "N", kLat, E::Unreadable},
        {"latitude letter on a longitude", "24N", kLon, E::WrongLetter},
        {"longitude letter on a latitude", "81:47W", kLat, E::WrongLetter},
        {"lower-case s on a longitude", "s 12", kLon, E::WrongLetter},
        {"wrong letter outranks the sign", "-24E", kLat, E::WrongLetter},
        {"minus and letter", "-24S", kLat, E::TwoSigns},
        {"minus and colon form", "-24:33N", kLat, E::TwoSigns},
        {"letter then minus", "N -24", kLat, E::TwoSigns},
        {"plus and letter", "+24N", kLat, E::TwoSigns},
        {"sixty minutes", "24:60N", kLat, E::MinutesOver},
        {"sixty minutes with marks", "24\u00B060'N", kLat, E::MinutesOver},
        {"sixty seconds", "24\u00B033'60\"N", kLat, E::MinutesOver},
        {"seventy-five plain seconds", "24 33 75 E", kLon, E::MinutesOver},
        {"ninety", "90", kLat, E::OutOfRange},
        {"minus ninety", "-90", kLat, E::OutOfRange},
        {"ninety in marks", "90\u00B00'N", kLat, E::OutOfRange},
        {"past the last latitude second", "89\u00B059'59.9995\"N", kLat, E::OutOfRange},
        {"decimal past the last second", "89.9999999", kLat, E::OutOfRange},
        {"one hundred eighty", "180", kLon, E::OutOfRange},
        {"one hundred eighty west", "180W", kLon, E::OutOfRange},
        {"latitude of a hundred", "100S", kLat, E::OutOfRange},
    };
    for (const Refused& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(parseCoordinate(row.text, row.axis).error, row.error);
    }
}

struct PairRow {
    const char* name;
    std::string_view text;
    double latitude;
    double longitude;
};

TEST(CoordinateText, ReadsPairs) {
    const PairRow rows[] = {
        {"marks, blank between", "24\u00B033'N 81\u00B047'W", dms(24, 33), -dms(81, 47)},
        {"decimals and comma", "24.555, -81.782", 24.555, -81.782},
        {"decimals and blank", "24.555 -81.782", 24.555, -81.782},
        {"semicolon", "-33.87;151.21", -33.87, 151.21},
        {"slash", "24.5 / -81.5", 24.5, -81.5},
        {"comma between plain numbers", "34,73", 34, 73},
        {"colon forms", "24:33N,81:47W", dms(24, 33), -dms(81, 47)},
        {"longitude first", "81\u00B047'W 24\u00B033'N", dms(24, 33), -dms(81, 47)},
        {"plain numbers, trailing letters", "24 33 N 81 47 W", dms(24, 33), -dms(81, 47)},
        {"with seconds", "24 33 20 N 81 47 30 W", dms(24, 33, 20), -dms(81, 47, 30)},
        {"leading letters", "S 33 52 E 151 13", -dms(33, 52), dms(151, 13)},
        {"no blanks", "24.5N81.5E", 24.5, 81.5},
        {"only the first has a letter, E", "81.5E, 24.5", 24.5, 81.5},
        {"only the second has a letter, N", "81.5, 24.5N", 24.5, 81.5},
    };
    for (const PairRow& row : rows) {
        SCOPED_TRACE(row.name);
        const std::optional<ParsedPair> got = parseCoordinatePair(row.text);
        ASSERT_TRUE(got.has_value());
        EXPECT_NEAR(got->latitude, row.latitude, 1e-9);
        EXPECT_NEAR(got->longitude, row.longitude, 1e-9);
    }
}

TEST(CoordinateText, RefusesWhatIsNotAPair) {
    const std::pair<const char*, std::string_view> rows[] = {
        {"nothing", ""},
        {"one decimal", "24.555"},
        {"one with marks", "24\u00B033'N"},
        {"one in plain numbers", "24 33 N"},
        {"one longitude in plain numbers", "24 33 E"},
        {"both latitudes", "24N 81N"},
        {"three parts", "24, 81, 3"},
        {"three plain numbers", "24.5 81.5 10"},
        {"second unreadable", "24.5, abc"},
        {"latitude out of range", "95, 10"},
        {"longitude out of range", "24.5, -181"},
    };
    for (const auto& [name, text] : rows) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(parseCoordinatePair(text).has_value());
    }
}

struct Rounding {
    const char* name;
    double degrees;
    Axis axis;
    DegreesMinutes expected;
};

TEST(CoordinateText, RoundsToTheNearestMinute) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const Rounding rows[] = {
        {"rounds down", 24.555, kLat, {24, 33, 'N'}},
        {"rounds up, west", -81.782, kLon, {81, 47, 'W'}},
        {"sixty minutes carry", 33.9999, kLat, {34, 0, 'N'}},
        {"half a minute rounds up", dms(12, 30.5), kLon, {12, 31, 'E'}},
        {"half a minute as 30 seconds", dms(1, 1, 30), kLon, {1, 2, 'E'}},
        {"just under half rounds down", dms(12, 30.49), kLon, {12, 30, 'E'}},
        {"59.5 minutes carry", -dms(12, 59.5), kLat, {13, 0, 'S'}},
        {"latitude clamped", 89.9999, kLat, {89, 59, 'N'}},
        {"longitude clamped", -179.9999, kLon, {179, 59, 'W'}},
        {"far beyond clamped", 1e300, kLon, {179, 59, 'E'}},
        {"negative zero", -0.0, kLat, {0, 0, 'N'}},
        {"negative zero longitude", -0.0, kLon, {0, 0, 'E'}},
        {"negative rounding to zero", -0.001, kLon, {0, 0, 'E'}},
        {"not a number", kNaN, kLat, {0, 0, 'N'}},
        {"minus infinity", -kInf, kLon, {0, 0, 'E'}},
    };
    for (const Rounding& row : rows) {
        SCOPED_TRACE(row.name);
        const DegreesMinutes got = toDegreesMinutes(row.degrees, row.axis);
        EXPECT_EQ(got.degrees, row.expected.degrees);
        EXPECT_EQ(got.minutes, row.expected.minutes);
        EXPECT_EQ(got.letter, row.expected.letter);
    }
}

// What the settings frame writes must come back as the same boxes, for every minute.
TEST(CoordinateText, EveryWholeMinuteRoundTrips) {
    for (const Axis axis : {kLat, kLon}) {
        const int maxDegrees = axis == kLat ? 89 : 179;
        const char letters[2] = {axis == kLat ? 'N' : 'E', axis == kLat ? 'S' : 'W'};
        for (int d = 0; d <= maxDegrees; ++d) {
            for (int m = 0; m < 60; ++m) {
                for (const char letter : letters) {
                    const std::string text =
                        std::to_string(d) + "\u00B0" + std::to_string(m) + "'" + letter;
                    const ParsedCoordinate parsed = parseCoordinate(text, axis);
                    ASSERT_TRUE(parsed.ok()) << text;
                    const DegreesMinutes back = toDegreesMinutes(parsed.degrees, axis);
                    ASSERT_EQ(back.degrees, d) << text;
                    ASSERT_EQ(back.minutes, m) << text;
                    ASSERT_EQ(back.letter, d == 0 && m == 0 ? letters[0] : letter) << text;
                }
            }
        }
    }
}

// Thirty seconds is half a minute, however the sum lands in binary.
TEST(CoordinateText, ThirtySecondsAlwaysRoundUp) {
    for (int d = 0; d <= 179; ++d) {
        for (int m = 0; m < 60; ++m) {
            const std::string text = std::to_string(d) + " " + std::to_string(m) + " 30 E";
            const DegreesMinutes got = toDegreesMinutes(parseCoordinate(text, kLon).degrees, kLon);
            const int total = std::min(d * 60 + m + 1, 179 * 60 + 59);
            ASSERT_EQ(got.degrees * 60 + got.minutes, total) << text;
        }
    }
}

TEST(CoordinateText, DescribesEachErrorDifferently) {
    EXPECT_STREQ(describe(E::None), "");
    std::set<std::string> texts;
    for (const E e :
         {E::Empty, E::Unreadable, E::WrongLetter, E::TwoSigns, E::MinutesOver, E::OutOfRange}) {
        const std::string text = describe(e);
        EXPECT_FALSE(text.empty());
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), 6u);
}

// Whatever arrives in a text box or on the command line: refused, never read past its end.
TEST(CoordinateText, HostileBytesAreRefused) {
    using namespace std::string_literals;
    const std::pair<const char*, std::string> rows[] = {
        {"invalid UTF-8", "24\xFF\xFEN"},
        {"lone lead byte at the end", "24\xC2"},
        {"lone lead byte alone", "\xC2"},
        {"prime cut short", "24\u00B033\xE2\x80"},
        {"embedded NUL", "24.5\0N"s},
        {"NUL between parts of a pair", "24.5\0, 81.5"s},
        {"ten kilobytes of digits", std::string(10000, '9')},
        {"ten kilobytes of a valid form", std::string(10000, ' ') + "24.5"},
    };
    for (const auto& [name, text] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(parseCoordinate(text, kLat).error, E::Unreadable);
        EXPECT_EQ(parseCoordinate(text, kLon).error, E::Unreadable);
        EXPECT_FALSE(parseCoordinatePair(text).has_value());
    }
    // No byte above ASCII stands alone in UTF-8: each one, inside or at the end.
    for (int b = 0x80; b <= 0xFF; ++b) {
        const char byte = static_cast<char>(b);
        SCOPED_TRACE(b);
        EXPECT_EQ(parseCoordinate(std::string("24") + byte + "N", kLat).error, E::Unreadable);
        EXPECT_EQ(parseCoordinate(std::string("24") + byte, kLat).error, E::Unreadable);
        EXPECT_FALSE(parseCoordinatePair(std::string("24 ") + byte + " 81").has_value());
    }
}

}  // namespace
}  // namespace moonbite::places
