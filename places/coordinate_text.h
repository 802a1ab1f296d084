// Latitudes and longitudes as people write them: decimal degrees, degrees and
// (decimal) minutes and seconds with or without symbols, hemisphere letters
// before or after, and a pasted pair. Plain C++, no Qt.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace moonbite::places {

enum class Axis { Latitude, Longitude };

/// Why a text is not a coordinate.
enum class CoordinateError {
    None,
    Empty,         ///< nothing but blanks
    Unreadable,    ///< not a coordinate in any form
    WrongLetter,   ///< a hemisphere letter of the other axis ("24N" as a longitude)
    TwoSigns,      ///< a sign and a hemisphere letter together ("-24S", "+24N")
    MinutesOver,   ///< minutes or seconds of 60 or more
    OutOfRange,    ///< beyond 89°59' (latitude) or 179°59' (longitude)
};

/// A coordinate read from text: signed decimal degrees (north and east
/// positive) when error is None.
struct ParsedCoordinate {
    double degrees = 0;
    CoordinateError error = CoordinateError::None;
    [[nodiscard]] bool ok() const { return error == CoordinateError::None; }
};

/// Reads one latitude or longitude. Accepted (blanks around and between
/// parts allowed, letters in either case, hemisphere letter before or after):
///   "34.73"  "-81.78"  "+151.2"          signed decimal degrees
///   "34.73N"  "S 33.87"                  decimal degrees and a letter
///   "24:33N"  "24:33.3N"                 the tool's degrees:minutes form
///   "24°33'N"  "24° 33.3′ N"  "24 33 N"  degrees, minutes, letter
///   "24°33'20\"N"  "24°33′20″N"  "24 33 20 N"  with seconds
///   "24d33m20sN"  "24d 33.3m"            d/m/s markers
/// A value without a letter is north or east unless it has a minus sign; the
/// colon form and plain numbers ("24 33") need a letter or a minus sign, as in
/// the tool. Only the last part may have decimals, always with '.'. A lower-case
/// 's' right after the seconds of "24d33m20s" marks them; any other 's' is south.
/// Latitudes within 89°59'59.999", longitudes within 179°59'59.999" (the
/// settings frame's limits, seconds allowed to the last one).
[[nodiscard]] ParsedCoordinate parseCoordinate(std::string_view text, Axis axis);

/// A latitude and a longitude in one text, as copied from a map or a web page:
/// "24°33'N 81°47'W", "24.555, -81.782", "24.555 -81.782", "81°47'W 24°33'N"
/// (letters decide the order when both have them), "24:33N,81:47W".
/// Without letters the first is the latitude; a letter on one part alone
/// decides both. Empty when the text is not a pair.
struct ParsedPair {
    double latitude = 0;
    double longitude = 0;
};
[[nodiscard]] std::optional<ParsedPair> parseCoordinatePair(std::string_view text);

/// Whole degrees, whole minutes and a hemisphere letter, as the settings
/// frame's boxes hold them: rounded to the nearest minute (59.6' carries to
/// the next degree), letter 'N'/'S' or 'E'/'W' ('N'/'E' for zero).
/// The value is clamped to the axis's limit (89°59' or 179°59').
struct DegreesMinutes {
    int degrees = 0;
    int minutes = 0;
    char letter = 'N';
};
[[nodiscard]] DegreesMinutes toDegreesMinutes(double degrees, Axis axis);

/// A short English reason for an error (UTF-8), for the tool's messages
/// ("minutes and seconds must be below 60"); "" for None.
[[nodiscard]] const char* describe(CoordinateError error);

}  // namespace moonbite::places
