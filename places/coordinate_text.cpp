// Coordinates as people type or paste them. Numbers go through std::from_chars so
// the decimal point is always '.', whatever LC_NUMERIC says.
#include "coordinate_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace moonbite::places {
namespace {

// Nothing a person writes for one coordinate is this long; the cap keeps hostile
// input cheap.
constexpr std::size_t kMaxCoordinateBytes = 100;
constexpr std::size_t kMaxPairBytes = 2 * kMaxCoordinateBytes;

enum class Kind { Blank, Number, Sign, Letter, Degree, Minute, Second, Colon, Separator };

struct Token {
    Kind kind = Kind::Blank;
    char symbol = 0;        // the sign, or the letter in upper case
    double value = 0;       // numbers only
    bool fraction = false;  // the number has a decimal point
    std::size_t begin = 0;  // bytes of the text
    std::size_t end = 0;
};

// Longer sequences first, so "''" wins over "'".
struct Mark {
    std::string_view bytes;
    Kind kind;
};
constexpr Mark kMarks[] = {
    {" ", Kind::Blank},
    {"\t", Kind::Blank},
    {"\r", Kind::Blank},
    {"\n", Kind::Blank},
    {"\xC2\xA0", Kind::Blank},
    {"\xC2\xB0", Kind::Degree},
    {"\xC2\xBA", Kind::Degree},
    {"d", Kind::Degree},
    {"D", Kind::Degree},
    {"''", Kind::Second},
    {"'", Kind::Minute},
    {"\xE2\x80\xB2", Kind::Minute},
    {"\xE2\x80\x99", Kind::Minute},
    {"m", Kind::Minute},
    {"M", Kind::Minute},
    {"\"", Kind::Second},
    {"\xE2\x80\xB3", Kind::Second},
    {"\xE2\x80\x9D", Kind::Second},
    {":", Kind::Colon},
    {",", Kind::Separator},
    {";", Kind::Separator},
    {"/", Kind::Separator},
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isMark(Kind k) {
    return k == Kind::Degree || k == Kind::Minute || k == Kind::Second || k == Kind::Colon;
}

// The tokens of text, blanks dropped; nullopt at any byte that starts no token,
// which covers invalid UTF-8, NUL and every word we do not read.
std::optional<std::vector<Token>> tokenize(std::string_view text) {
    std::vector<Token> out;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        Token t;
        t.begin = i;
        if (isDigit(c)) {
            std::size_t j = i;
            while (j < text.size() && isDigit(text[j]))
                ++j;
            if (j - i > 3) return std::nullopt;  // no degree count needs four digits
            if (j + 1 < text.size() && text[j] == '.' && isDigit(text[j + 1])) {
                t.fraction = true;
                for (++j; j < text.size() && isDigit(text[j]);)
                    ++j;
            }
            const auto r = std::from_chars(text.data() + i, text.data() + j, t.value);
            if (r.ec != std::errc{} || r.ptr != text.data() + j) return std::nullopt;
            t.kind = Kind::Number;
            t.end = j;
        } else if (c == '+' || c == '-') {
            t = {Kind::Sign, c, 0, false, i, i + 1};
        } else if (std::string_view("nNeEwWsS").find(c) != std::string_view::npos) {
            const char upper = (c >= 'a') ? static_cast<char>(c - 'a' + 'A') : c;
            // A lower-case 's' right after the number that follows the minutes
            // closes the seconds ("24d33m20s"); anywhere else it is south.
            const std::size_t n = out.size();
            const bool seconds = c == 's' && n >= 2 && out[n - 1].kind == Kind::Number &&
                                 out[n - 1].end == i && out[n - 2].kind == Kind::Minute;
            t = {seconds ? Kind::Second : Kind::Letter, upper, 0, false, i, i + 1};
        } else {
            const Mark* found = nullptr;
            for (const Mark& m : kMarks) {
                if (text.substr(i).starts_with(m.bytes)) {
                    found = &m;
                    break;
                }
            }
            if (!found) return std::nullopt;
            t.kind = found->kind;
            t.end = i + found->bytes.size();
        }
        i = t.end;
        if (t.kind != Kind::Blank) out.push_back(t);
    }
    return out;
}

// Computed the same way for values and for limits, so a value at a limit compares equal.
double fromParts(double deg, double min, double sec) {
    return deg + min / 60 + sec / 3600;
}

// One coordinate before its axis is known.
struct Reading {
    CoordinateError error = CoordinateError::None;
    double magnitude = 0;
    char sign = 0;    // '+', '-' or none
    char letter = 0;  // 'N', 'S', 'E', 'W' or none
};

Reading failed(CoordinateError e) {
    Reading r;
    r.error = e;
    return r;
}

Reading read(std::string_view text) {
    using E = CoordinateError;
    if (text.size() > kMaxCoordinateBytes) return failed(E::Unreadable);
    const auto tokens = tokenize(text);
    if (!tokens) return failed(E::Unreadable);
    if (tokens->empty()) return failed(E::Empty);
    const std::vector<Token>& t = *tokens;
    std::size_t i = 0;
    const auto at = [&](Kind k) { return i < t.size() && t[i].kind == k; };

    Reading r;
    for (int lead = 0; lead < 2; ++lead) {  // a letter and a sign may lead, in either order
        if (at(Kind::Letter) && !r.letter) {
            r.letter = t[i++].symbol;
        } else if (at(Kind::Sign) && !r.sign) {
            r.sign = t[i++].symbol;
        }
    }
    // Degrees, minutes, seconds: each a number with an optional mark after it
    // (Blank standing for none).
    double part[3] = {};
    bool fraction[3] = {};
    Kind mark[3] = {Kind::Blank, Kind::Blank, Kind::Blank};
    int count = 0;
    while (count < 3 && at(Kind::Number)) {
        part[count] = t[i].value;
        fraction[count] = t[i++].fraction;
        if (i < t.size() && isMark(t[i].kind)) mark[count] = t[i++].kind;
        ++count;
    }
    if (count == 0) return failed(E::Unreadable);
    if (at(Kind::Letter)) {
        if (r.letter) return failed(E::Unreadable);  // "N24S"
        r.letter = t[i++].symbol;
    }
    if (i != t.size()) return failed(E::Unreadable);

    const int last = count - 1;
    for (int k = 0; k < last; ++k) {
        if (fraction[k]) return failed(E::Unreadable);  // only the last part has decimals
    }
    bool plainRun = false;  // "24:33" or "24 33": needs a letter or a minus sign
    if (mark[0] == Kind::Colon) {
        // The tool's form: colons between the parts and nowhere else.
        for (int k = 0; k < count; ++k) {
            if ((k < last) != (mark[k] == Kind::Colon) || (k == last && mark[k] != Kind::Blank))
                return failed(E::Unreadable);
        }
        plainRun = count > 1;
    } else if (std::all_of(mark, mark + count, [](Kind m) { return m == Kind::Blank; })) {
        plainRun = count > 1;
    } else {
        // Marks in their places; only the last one may be left out ("24°33 N").
        constexpr Kind kPlace[] = {Kind::Degree, Kind::Minute, Kind::Second};
        for (int k = 0; k < count; ++k) {
            if (mark[k] != kPlace[k] && !(k == last && mark[k] == Kind::Blank))
                return failed(E::Unreadable);
        }
    }
    // Like the tool's "DD:MM", plain numbers say nothing of the hemisphere, and
    // "24 33" alone reads just as well as a pair.
    if (plainRun && !r.letter && r.sign != '-') return failed(E::Unreadable);
    if (part[1] >= 60 || part[2] >= 60) return failed(E::MinutesOver);
    r.magnitude = fromParts(part[0], part[1], part[2]);
    return r;
}

bool isLatitudeLetter(char letter) {
    return letter == 'N' || letter == 'S';
}

ParsedCoordinate finish(const Reading& r, Axis axis) {
    ParsedCoordinate p;
    p.error = r.error;
    if (!p.ok()) return p;
    const bool latitude = axis == Axis::Latitude;
    const char negative = latitude ? 'S' : 'W';
    if (r.letter && isLatitudeLetter(r.letter) != latitude) {
        p.error = CoordinateError::WrongLetter;
    } else if (r.letter && r.sign) {
        p.error = CoordinateError::TwoSigns;
    } else if (r.magnitude > fromParts(latitude ? 89 : 179, 59, 59.999)) {
        p.error = CoordinateError::OutOfRange;
    } else {
        p.degrees = (r.sign == '-' || r.letter == negative) ? -r.magnitude : r.magnitude;
    }
    return p;
}

}  // namespace

ParsedCoordinate parseCoordinate(std::string_view text, Axis axis) {
    return finish(read(text), axis);
}

std::optional<ParsedPair> parseCoordinatePair(std::string_view text) {
    if (text.size() > kMaxPairBytes) return std::nullopt;
    const auto tokens = tokenize(text);
    if (!tokens) return std::nullopt;
    const std::vector<Token>& t = *tokens;
    std::vector<std::size_t> separators, letters, numbers;
    for (std::size_t k = 0; k < t.size(); ++k) {
        if (t[k].kind == Kind::Separator) separators.push_back(k);
        if (t[k].kind == Kind::Letter) letters.push_back(k);
        if (t[k].kind == Kind::Number) numbers.push_back(k);
    }
    // The first part is text[0, cut), the second text[resume, end).
    std::size_t cut = 0;
    std::size_t resume = 0;
    if (separators.size() == 1) {
        cut = t[separators[0]].begin;
        resume = t[separators[0]].end;
    } else if (!separators.empty()) {
        return std::nullopt;
    } else if (!letters.empty()) {
        // Blanks also sit inside "24 33 N 81 47 W", so cut at the letters: after
        // the first when they trail, before the second when they lead.
        if (letters[0] != 0) {
            cut = resume = t[letters[0]].end;
        } else if (letters.size() >= 2) {
            cut = resume = t[letters[1]].begin;
        } else {
            return std::nullopt;
        }
    } else if (numbers.size() == 2) {
        std::size_t k = numbers[0] + 1;  // after the first number and its mark
        if (isMark(t[k].kind)) ++k;
        cut = resume = t[k].begin;
    } else {
        return std::nullopt;
    }
    const Reading first = read(text.substr(0, cut));
    const Reading second = read(text.substr(resume));
    if (first.error != CoordinateError::None || second.error != CoordinateError::None)
        return std::nullopt;
    // A letter decides its own part's axis and so the other's.
    bool firstIsLatitude = true;
    if (first.letter) {
        firstIsLatitude = isLatitudeLetter(first.letter);
    } else if (second.letter) {
        firstIsLatitude = !isLatitudeLetter(second.letter);
    }
    const ParsedCoordinate a = finish(first, firstIsLatitude ? Axis::Latitude : Axis::Longitude);
    const ParsedCoordinate b = finish(second, firstIsLatitude ? Axis::Longitude : Axis::Latitude);
    if (!a.ok() || !b.ok()) return std::nullopt;
    return firstIsLatitude ? ParsedPair{a.degrees, b.degrees} : ParsedPair{b.degrees, a.degrees};
}

DegreesMinutes toDegreesMinutes(double degrees, Axis axis) {
    const bool latitude = axis == Axis::Latitude;
    DegreesMinutes out;
    out.letter = latitude ? 'N' : 'E';
    if (!std::isfinite(degrees)) return out;
    const long limit = (latitude ? 89 : 179) * 60 + 59;
    // Half a minute rounds up; the nudge covers values like 12 + 30.5 / 60 landing
    // a hair below the half. Capping first keeps the conversion to long defined.
    const double rounded = std::floor(std::min(std::fabs(degrees), 360.0) * 60 + 0.5 + 1e-9);
    const long total = std::min(static_cast<long>(rounded), limit);
    out.degrees = static_cast<int>(total / 60);
    out.minutes = static_cast<int>(total % 60);
    if (degrees < 0 && total > 0) out.letter = latitude ? 'S' : 'W';
    return out;
}

const char* describe(CoordinateError error) {
    switch (error) {
        case CoordinateError::None:
            return "";
        case CoordinateError::Empty:
            return "no coordinate was given";
        case CoordinateError::Unreadable:
            return "not a latitude or longitude in a form this program reads";
        case CoordinateError::WrongLetter:
            return "that hemisphere letter belongs to the other coordinate";
        case CoordinateError::TwoSigns:
            return "give either a minus sign or a hemisphere letter, not both";
        case CoordinateError::MinutesOver:
            return "minutes and seconds must be below 60";
        case CoordinateError::OutOfRange:
            return "beyond 89\u00B059' latitude or 179\u00B059' longitude";
    }
    return "";
}

}  // namespace moonbite::places
