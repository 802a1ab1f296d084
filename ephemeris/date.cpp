#include "date.h"

#include <array>
#include <cctype>

namespace moonbite {
namespace {

// Days from 1 March of year 0 based civil counting (H. Hinnant's algorithm),
// shifted so that 30 December 1899 is day 0.
constexpr std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

constexpr std::int64_t kZeroDate = daysFromCivil(1899, 12, 30);

constexpr std::array<std::string_view, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Splits off the next field up to a separator, blanks around it removed.
std::string_view nextField(std::string_view& rest, char& separator) {
    while (!rest.empty() && isBlank(rest.front()))
        rest.remove_prefix(1);
    std::size_t n = 0;
    while (n < rest.size() && !isBlank(rest[n]) && rest[n] != '-' && rest[n] != '/')
        ++n;
    std::string_view field = rest.substr(0, n);
    rest.remove_prefix(n);
    while (!rest.empty() && isBlank(rest.front()))
        rest.remove_prefix(1);
    separator = ' ';
    if (!rest.empty() && (rest.front() == '-' || rest.front() == '/')) {
        separator = rest.front();
        rest.remove_prefix(1);
    }
    return field;
}

std::optional<int> parseWholeNumber(std::string_view s) {
    if (s.empty() || s.size() > 6) return std::nullopt;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::optional<int> parseMonth(std::string_view s) {
    if (auto n = parseWholeNumber(s)) return n;
    for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
        if (equalsIgnoreCase(s, kMonthNames[i])) return static_cast<int>(i) + 1;
    }
    return std::nullopt;
}

}  // namespace

int daysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    if (month == 2 && isLeapYear(year)) return 29;
    return kDays[static_cast<std::size_t>(month - 1)];
}

std::string_view englishMonthName(int month) {
    if (month < 1 || month > 12) return {};
    return kMonthNames[static_cast<std::size_t>(month - 1)];
}

std::optional<Date> Date::fromYmd(int year, int month, int day) {
    if (year < 1 || year > 9999 || day < 1 || day > daysInMonth(year, month)) return std::nullopt;
    return fromSerial(static_cast<std::int32_t>(
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kZeroDate));
}

YearMonthDay Date::ymd() const {
    // Inverse of daysFromCivil.
    std::int64_t z = static_cast<std::int64_t>(serial_) + kZeroDate + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

int Date::weekday() const {
    // Serial 1 (31 December 1899) was a Sunday.
    int r = (serial_ - 1) % 7;
    if (r < 0) r += 7;
    return r + 1;
}

std::optional<Date> parseDateText(std::string_view text) {
    std::string_view rest = text;
    char sep1 = ' ';
    char sep2 = ' ';
    char sep3 = ' ';
    const std::string_view dayField = nextField(rest, sep1);
    const std::string_view monthField = nextField(rest, sep2);
    const std::string_view yearField = nextField(rest, sep3);
    if (!rest.empty() || sep3 != ' ') return std::nullopt;
    const auto day = parseWholeNumber(dayField);
    const auto month = parseMonth(monthField);
    const auto year = parseWholeNumber(yearField);
    if (!day || !month || !year) return std::nullopt;
    return Date::fromYmd(*year, *month, *day);
}

}  // namespace moonbite
