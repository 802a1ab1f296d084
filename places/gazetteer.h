// The gazetteer: the world's towns of 500 people or more (GeoNames), read from
// the installed table and searched by name. Plain C++, no Qt.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace moonbite::places {

/// One town of the table. The texts point into the gazetteer that holds it.
struct PlaceRecord {
    std::string_view name;        ///< as written locally, UTF-8 ("Tromsø")
    std::string_view asciiName;   ///< in plain letters ("Tromso")
    std::string_view country;     ///< ISO 3166-1 code ("NO")
    std::string_view regionCode;  ///< first-level region as GeoNames codes it ("FL", "09")
    double latitude = 0;          ///< decimal degrees, north positive
    double longitude = 0;         ///< decimal degrees, east positive
    std::string_view zone;        ///< IANA zone ("America/New_York")
    std::int64_t population = 0;
    std::uint16_t countryIndex = 0;
    std::int32_t regionIndex = -1;
};

/// Lower-case plain letters for comparing names: accents removed ("São" →
/// "sao", "ø" → "o", "æ" → "ae", "ß" → "ss"), punctuation and blanks turned
/// into one space, apostrophes dropped ("Hawke's" → "hawkes"). Letters of
/// other scripts are kept as they are (lower-cased where ASCII).
[[nodiscard]] std::string foldForSearch(std::string_view utf8);

class Gazetteer {
  public:
    /// Reads the table from a file, gzip-compressed or plain. Empty with the
    /// reason in *error when it cannot be read or is not a places table.
    [[nodiscard]] static std::optional<Gazetteer> load(const std::string& path,
                                                       std::string* error = nullptr);
    /// Reads the table from its text (for tests and for a decompressed file).
    [[nodiscard]] static std::optional<Gazetteer> fromText(std::string text,
                                                           std::string* error = nullptr);

    [[nodiscard]] std::size_t size() const { return places_.size(); }
    [[nodiscard]] const PlaceRecord& place(std::size_t i) const { return places_[i]; }

    /// The country's name ("United States"), or its code when unnamed.
    [[nodiscard]] std::string_view countryName(const PlaceRecord& p) const;
    /// The region's name ("Florida"), or empty when the table has none.
    [[nodiscard]] std::string_view regionName(const PlaceRecord& p) const;

    /// The places whose name matches the query, best first, at most limit.
    /// Every word of the query is the start of a word of the name, or names
    /// the place's region or country by code or by the start of its name
    /// ("westport wa", "exmouth australia"); at least one word is of the
    /// name. Accents and case are ignored. Ranked: the whole name equal to the
    /// query, then names that start with it, then the rest; within each by
    /// population, larger first.
    [[nodiscard]] std::vector<std::size_t> search(std::string_view query, std::size_t limit) const;

    /// Names near a query that matched nothing (one or two letters wrong,
    /// missing or extra), larger places first, at most limit.
    [[nodiscard]] std::vector<std::size_t> suggestions(std::string_view query,
                                                       std::size_t limit) const;

  private:
    Gazetteer() = default;
    bool parse(std::string* error);

    struct Region {
        std::string_view country;
        std::string_view code;
        std::string_view name;
        std::string folded;  // the name folded, for query words
    };
    struct Country {
        std::string_view code;
        std::string_view name;
        std::string folded;
    };

    std::unique_ptr<std::string> text_;  // every string_view points into this
    std::vector<PlaceRecord> places_;
    std::vector<Country> countries_;
    std::vector<Region> regions_;
    // The folded name of each place, and of its ASCII name where that folds
    // differently, one after the other: place i owns keys_[keyStart_[i]]
    // .. keys_[keyStart_[i + 1]] (separated by '\n').
    std::string keys_;
    std::vector<std::uint32_t> keyStart_;
};

/// Where the table is: $MOONBITE_PLACES when set, else the installed table
/// beside the program (../share/moonbite/places.tsv.gz from the folder of the
/// running executable).
[[nodiscard]] std::string defaultTablePath();

/// "24:33N", "81:47W": a coordinate in whole minutes, in the form the tool's
/// --lat and --lon take.
[[nodiscard]] std::string minutesText(double degrees, bool latitude);

}  // namespace moonbite::places
