// Calendar dates as whole days counted from the zero date, 30 December 1899,
// the convention every stored table entry and date comparison of the core uses.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>

namespace moonbite {

struct YearMonthDay {
    int year = 1899;
    int month = 12;
    int day = 30;
    friend bool operator==(const YearMonthDay&, const YearMonthDay&) = default;
};

/// True for a leap year of the proleptic Gregorian calendar.
[[nodiscard]] constexpr bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

/// Days in a month (1..12) of a year; 0 for a month outside 1..12.
[[nodiscard]] int daysInMonth(int year, int month);

/// English month name "January" .. "December" for 1..12, "" otherwise.
[[nodiscard]] std::string_view englishMonthName(int month);

/// A calendar date, whole days from the zero date (serial 0 = 30 December 1899).
class Date {
  public:
    constexpr Date() = default;
    static constexpr Date fromSerial(std::int32_t serial) {
        Date d;
        d.serial_ = serial;
        return d;
    }
    /// The date of year/month/day, or nothing when the day does not exist.
    [[nodiscard]] static std::optional<Date> fromYmd(int year, int month, int day);

    [[nodiscard]] constexpr std::int32_t serial() const { return serial_; }
    [[nodiscard]] YearMonthDay ymd() const;
    [[nodiscard]] int year() const { return ymd().year; }
    [[nodiscard]] int month() const { return ymd().month; }
    [[nodiscard]] int day() const { return ymd().day; }
    /// Weekday with Sunday = 1 .. Saturday = 7.
    [[nodiscard]] int weekday() const;

    constexpr Date operator+(int days) const { return fromSerial(serial_ + days); }
    constexpr Date operator-(int days) const { return fromSerial(serial_ - days); }
    /// Whole days from other to this date (positive when this date is later).
    constexpr int operator-(Date other) const { return serial_ - other.serial_; }
    constexpr auto operator<=>(const Date&) const = default;

  private:
    std::int32_t serial_ = 0;
};

/// Reads a date the way the program writes its date texts: "21 January 2000"
/// (day, English month name, year, blanks between; the month may carry the
/// leading blank of " December"), "21-1-2000" or "21/January/2000".
/// Nothing when the text does not name an existing date.
[[nodiscard]] std::optional<Date> parseDateText(std::string_view text);

}  // namespace moonbite
