#include "gazetteer.h"

#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <tuple>

#include "coordinate_text.h"

namespace moonbite::places {

namespace {

// The plain letters of U+00C0..U+017F, one word per code point ("_" for a
// sign that separates words, like × and ÷).
constexpr const char* kLatinFolds =
    "a a a a a a ae c e e e e i i i i d n o o o o o _ o u u u u y th ss "
    "a a a a a a ae c e e e e i i i i d n o o o o o _ o u u u u y th y "
    "a a a a a a c c c c c c c c d d d d e e e e e e e e e e g g g g g g g g h h h h "
    "i i i i i i i i i i ij ij j j k k k l l l l l l l l l l n n n n n n n n n o o o o "
    "o o oe oe r r r r r r s s s s s s s s t t t t t t u u u u u u u u u u u u w w y y "
    "y z z z z z z s";
constexpr char32_t kFoldFirst = 0xC0;
constexpr char32_t kFoldLast = 0x17F;

const std::array<std::string_view, kFoldLast - kFoldFirst + 1>& latinFolds() {
    static const auto table = [] {
        std::array<std::string_view, kFoldLast - kFoldFirst + 1> t{};
        std::string_view all(kLatinFolds);
        for (auto& entry : t) {
            const std::size_t space = all.find(' ');
            entry = all.substr(0, space);
            all.remove_prefix(space == std::string_view::npos ? all.size() : space + 1);
        }
        return t;
    }();
    return table;
}

// One code point of UTF-8 at s[i]; its length in *length (1 for a byte that
// starts no valid sequence, which is then taken as itself).
char32_t decodeAt(std::string_view s, std::size_t i, std::size_t* length) {
    const auto b = static_cast<unsigned char>(s[i]);
    auto cont = [&](std::size_t k) {
        return i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
    };
    auto byte = [&](std::size_t k) { return static_cast<char32_t>(s[i + k] & 0x3F); };
    if (b >= 0xC2 && b < 0xE0 && cont(1)) {
        *length = 2;
        return (static_cast<char32_t>(b & 0x1F) << 6) | byte(1);
    }
    if (b >= 0xE0 && b < 0xF0 && cont(1) && cont(2)) {
        *length = 3;
        return (static_cast<char32_t>(b & 0x0F) << 12) | (byte(1) << 6) | byte(2);
    }
    if (b >= 0xF0 && b < 0xF5 && cont(1) && cont(2) && cont(3)) {
        *length = 4;
        return (static_cast<char32_t>(b & 0x07) << 18) | (byte(1) << 12) | (byte(2) << 6) | byte(3);
    }
    *length = 1;
    return b;
}

void appendWordBreak(std::string& out) {
    if (!out.empty() && out.back() != ' ') out += ' ';
}

std::vector<std::string_view> splitWords(std::string_view folded) {
    std::vector<std::string_view> words;
    while (!folded.empty()) {
        const std::size_t space = folded.find(' ');
        words.push_back(folded.substr(0, space));
        if (space == std::string_view::npos) break;
        folded.remove_prefix(space + 1);
    }
    return words;
}

// Whether a word of the folded text starts with the folded word.
bool hasWordStartingWith(std::string_view text, std::string_view word) {
    if (word.empty() || word.size() > text.size()) return false;
    for (std::size_t pos = 0; pos + word.size() <= text.size();) {
        if (text.compare(pos, word.size(), word) == 0) return true;
        const std::size_t space = text.find(' ', pos);
        if (space == std::string_view::npos) return false;
        pos = space + 1;
    }
    return false;
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    while (true) {
        const std::size_t tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) return fields;
        line.remove_prefix(tab + 1);
    }
}

template <typename T>
bool readNumber(std::string_view text, T& value) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size();
}

void fail(std::string* error, std::string reason) {
    if (error) *error = std::move(reason);
}

// Optimal-string-alignment distance, given up above limit (limit + 1 then).
int editDistance(std::string_view a, std::string_view b, int limit) {
    const int n = static_cast<int>(a.size());
    const int m = static_cast<int>(b.size());
    if (std::abs(n - m) > limit) return limit + 1;
    std::vector<int> prev2(m + 1), prev(m + 1), cur(m + 1);
    for (int j = 0; j <= m; ++j)
        prev[j] = j;
    for (int i = 1; i <= n; ++i) {
        cur[0] = i;
        int rowBest = cur[0];
        for (int j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            cur[j] = std::min({prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                cur[j] = std::min(cur[j], prev2[j - 2] + 1);
            rowBest = std::min(rowBest, cur[j]);
        }
        if (rowBest > limit) return limit + 1;
        std::swap(prev2, prev);
        std::swap(prev, cur);
    }
    return prev[m];
}

constexpr std::size_t kMaxTableBytes = 256u << 20;

}  // namespace

std::string foldForSearch(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t length = 1;
        const char32_t c = decodeAt(utf8, i, &length);
        const std::string_view raw = utf8.substr(i, length);
        i += length;
        if (c < 0x80) {
            if (c >= 'A' && c <= 'Z') {
                out += static_cast<char>(c - 'A' + 'a');
            } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
                out += static_cast<char>(c);
            } else if (c != '\'' && c != '`') {
                appendWordBreak(out);
            }
        } else if (c >= kFoldFirst && c <= kFoldLast) {
            const std::string_view plain = latinFolds()[c - kFoldFirst];
            if (plain == "_")
                appendWordBreak(out);
            else
                out += plain;
        } else if (c >= 0x218 && c <= 0x21B) {  // Romanian s and t with comma below
            out += c < 0x21A ? 's' : 't';
        } else if ((c >= 0x300 && c <= 0x36F) || c == 0x2019 || c == 0x2018 || c == 0x02BC) {
            // Combining accents and typographic apostrophes: part of the letter or word.
        } else if (c == 0xA0 || (c >= 0x2000 && c <= 0x206F) || c == 0x3000) {
            appendWordBreak(out);  // spaces, dashes and other punctuation
        } else {
            out += raw;  // other scripts as written
        }
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::optional<Gazetteer> Gazetteer::load(const std::string& path, std::string* error) {
    gzFile file = gzopen(path.c_str(), "rb");
    if (!file) {
        fail(error, "cannot open " + path);
        return std::nullopt;
    }
    gzbuffer(file, 1 << 17);
    std::string text;
    std::array<char, 1 << 16> chunk{};
    while (true) {
        const int n = gzread(file, chunk.data(), static_cast<unsigned>(chunk.size()));
        if (n < 0) {
            int code = 0;
            const char* message = gzerror(file, &code);
            fail(error, path + " is damaged (" + (message ? message : "read error") + ")");
            gzclose(file);
            return std::nullopt;
        }
        if (n == 0) {
            // A stream cut short ends without an error from gzread; gzerror says so.
            int code = Z_OK;
            gzerror(file, &code);
            if (code != Z_OK) {
                fail(error, path + " is damaged (it ends too early)");
                gzclose(file);
                return std::nullopt;
            }
            break;
        }
        if (text.size() + static_cast<std::size_t>(n) > kMaxTableBytes) {
            fail(error, path + " is too large for a places table");
            gzclose(file);
            return std::nullopt;
        }
        text.append(chunk.data(), static_cast<std::size_t>(n));
    }
    gzclose(file);
    std::string reason;
    auto table = fromText(std::move(text), &reason);
    if (!table) fail(error, path + ": " + reason);
    return table;
}

std::optional<Gazetteer> Gazetteer::fromText(std::string text, std::string* error) {
    Gazetteer g;
    g.text_ = std::make_unique<std::string>(std::move(text));
    if (!g.parse(error)) return std::nullopt;
    return g;
}

bool Gazetteer::parse(std::string* error) {
    std::string_view all(*text_);
    if (all.substr(0, 17) != "# Moonbite places") {
        fail(error, "not a Moonbite places table");
        return false;
    }
    places_.reserve(static_cast<std::size_t>(std::count(all.begin(), all.end(), '\n')));
    keyStart_.reserve(places_.capacity() + 1);
    keys_.reserve(all.size() / 4);
    // Countries and regions come before the places; places name them by code.
    auto countryOf = [this](std::string_view code) -> std::uint16_t {
        for (std::size_t i = 0; i < countries_.size(); ++i)
            if (countries_[i].code == code) return static_cast<std::uint16_t>(i);
        countries_.push_back({code, code, foldForSearch(code)});
        return static_cast<std::uint16_t>(countries_.size() - 1);
    };
    auto regionOf = [this](std::uint16_t country, std::string_view code) -> std::int32_t {
        // Regions of one country are usually met together: look back from the end first.
        for (std::size_t i = regions_.size(); i-- > 0;) {
            if (regions_[i].code == code && regions_[i].country == countries_[country].code)
                return static_cast<std::int32_t>(i);
        }
        regions_.push_back({countries_[country].code, code, {}, {}});
        return static_cast<std::int32_t>(regions_.size() - 1);
    };

    std::size_t lineNumber = 0;
    std::uint16_t lastCountry = UINT16_MAX;
    std::string_view lastCountryCode;
    std::int32_t lastRegion = -1;
    std::string_view lastRegionCode;
    while (!all.empty()) {
        ++lineNumber;
        const std::size_t end = all.find('\n');
        std::string_view line = all.substr(0, end);
        all.remove_prefix(end == std::string_view::npos ? all.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        const std::vector<std::string_view> f = splitFields(line);
        const auto damaged = [&] {
            fail(error, "line " + std::to_string(lineNumber) + " is damaged");
            return false;
        };
        if (f[0] == "C" && f.size() == 3) {
            const std::uint16_t c = countryOf(f[1]);
            countries_[c].name = f[2];
            countries_[c].folded = foldForSearch(f[2]);
            continue;
        }
        if (f[0] == "R" && f.size() == 4) {
            Region& r = regions_[static_cast<std::size_t>(regionOf(countryOf(f[1]), f[2]))];
            r.name = f[3];
            r.folded = foldForSearch(f[3]);
            continue;
        }
        if (f.size() != 8) return damaged();
        PlaceRecord p;
        p.name = f[0];
        p.asciiName = f[1].empty() ? f[0] : f[1];
        p.country = f[2];
        p.regionCode = f[3];
        p.zone = f[6];
        if (p.name.empty() || p.country.empty() || p.zone.empty() ||
            !readNumber(f[4], p.latitude) || !readNumber(f[5], p.longitude) ||
            !readNumber(f[7], p.population) || !(p.latitude > -90 && p.latitude < 90) ||
            !(p.longitude >= -180 && p.longitude <= 180) || p.population < 0)
            return damaged();
        if (lastCountry == UINT16_MAX || p.country != lastCountryCode) {
            lastCountry = countryOf(p.country);
            lastCountryCode = p.country;
            lastRegion = -1;
        }
        if (lastRegion < 0 || p.regionCode != lastRegionCode) {
            lastRegion = regionOf(lastCountry, p.regionCode);
            lastRegionCode = p.regionCode;
        }
        p.countryIndex = lastCountry;
        p.regionIndex = lastRegion;
        keyStart_.push_back(static_cast<std::uint32_t>(keys_.size()));
        const std::string name = foldForSearch(p.name);
        keys_ += name;
        if (p.asciiName != p.name) {
            const std::string ascii = foldForSearch(p.asciiName);
            if (ascii != name) {
                keys_ += '\n';
                keys_ += ascii;
            }
        }
        places_.push_back(p);
    }
    keyStart_.push_back(static_cast<std::uint32_t>(keys_.size()));
    if (places_.empty()) {
        fail(error, "the table holds no places");
        return false;
    }
    return true;
}

std::string_view Gazetteer::countryName(const PlaceRecord& p) const {
    return countries_[p.countryIndex].name;
}

std::string_view Gazetteer::regionName(const PlaceRecord& p) const {
    return p.regionIndex < 0 ? std::string_view{}
                             : regions_[static_cast<std::size_t>(p.regionIndex)].name;
}

std::vector<std::size_t> Gazetteer::search(std::string_view query, std::size_t limit) const {
    const std::string folded = foldForSearch(query);
    const std::vector<std::string_view> words = splitWords(folded);
    if (words.empty() || limit == 0) return {};

    // Which countries and regions each word can name, decided once per query.
    std::vector<std::vector<char>> countryHit(words.size());
    std::vector<std::vector<char>> regionHit(words.size());
    for (std::size_t w = 0; w < words.size(); ++w) {
        countryHit[w].resize(countries_.size());
        regionHit[w].resize(regions_.size());
        for (std::size_t c = 0; c < countries_.size(); ++c) {
            countryHit[w][c] = words[w] == foldForSearch(countries_[c].code) ||
                               hasWordStartingWith(countries_[c].folded, words[w]);
        }
        for (std::size_t r = 0; r < regions_.size(); ++r) {
            const Region& region = regions_[r];
            const bool codeHasLetters = std::any_of(
                region.code.begin(), region.code.end(),
                [](char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); });
            regionHit[w][r] = (codeHasLetters && foldForSearch(region.code) == words[w]) ||
                              hasWordStartingWith(region.folded, words[w]);
        }
    }

    struct Hit {
        int tier;
        std::int64_t population;
        std::size_t index;
    };
    std::vector<Hit> hits;
    std::string nameWords;
    for (std::size_t i = 0; i < places_.size(); ++i) {
        const PlaceRecord& p = places_[i];
        std::string_view keys(keys_.data() + keyStart_[i], keyStart_[i + 1] - keyStart_[i]);
        int best = INT_MAX;
        while (true) {
            const std::size_t newline = keys.find('\n');
            const std::string_view key = keys.substr(0, newline);
            bool ok = true;
            bool anyName = false;
            nameWords.clear();
            for (std::size_t w = 0; w < words.size() && ok; ++w) {
                if (hasWordStartingWith(key, words[w])) {
                    anyName = true;
                    if (!nameWords.empty()) nameWords += ' ';
                    nameWords += words[w];
                } else {
                    ok = countryHit[w][p.countryIndex] ||
                         (p.regionIndex >= 0 &&
                          regionHit[w][static_cast<std::size_t>(p.regionIndex)]);
                }
            }
            if (ok && anyName) {
                const int tier = key == nameWords ? 0 : key.starts_with(nameWords) ? 1 : 2;
                best = std::min(best, tier);
            }
            if (newline == std::string_view::npos) break;
            keys.remove_prefix(newline + 1);
        }
        if (best != INT_MAX) hits.push_back({best, p.population, i});
    }
    const auto better = [](const Hit& a, const Hit& b) {
        return std::tie(a.tier, b.population, a.index) < std::tie(b.tier, a.population, b.index);
    };
    const std::size_t n = std::min(limit, hits.size());
    std::partial_sort(hits.begin(), hits.begin() + static_cast<std::ptrdiff_t>(n), hits.end(),
                      better);
    std::vector<std::size_t> out;
    out.reserve(n);
    for (std::size_t k = 0; k < n; ++k)
        out.push_back(hits[k].index);
    return out;
}

std::vector<std::size_t> Gazetteer::suggestions(std::string_view query, std::size_t limit) const {
    const std::string folded = foldForSearch(query);
    if (folded.size() < 3 || limit == 0) return {};
    const int allowed = folded.size() >= 6 ? 2 : 1;
    struct Near {
        int distance;
        std::int64_t population;
        std::size_t index;
    };
    std::vector<Near> near;
    for (std::size_t i = 0; i < places_.size(); ++i) {
        std::string_view keys(keys_.data() + keyStart_[i], keyStart_[i + 1] - keyStart_[i]);
        int best = allowed + 1;
        while (true) {
            const std::size_t newline = keys.find('\n');
            best = std::min(best, editDistance(folded, keys.substr(0, newline), allowed));
            if (newline == std::string_view::npos) break;
            keys.remove_prefix(newline + 1);
        }
        if (best <= allowed) near.push_back({best, places_[i].population, i});
    }
    const std::size_t n = std::min(limit, near.size());
    std::partial_sort(near.begin(), near.begin() + static_cast<std::ptrdiff_t>(n), near.end(),
                      [](const Near& a, const Near& b) {
                          return std::tie(a.distance, b.population, a.index) <
                                 std::tie(b.distance, a.population, b.index);
                      });
    std::vector<std::size_t> out;
    for (std::size_t k = 0; k < n; ++k)
        out.push_back(near[k].index);
    return out;
}

std::string defaultTablePath() {
    if (const char* env = std::getenv("MOONBITE_PLACES"); env && *env) return env;
    std::array<char, 4096> exe{};
    const ssize_t n = readlink("/proc/self/exe", exe.data(), exe.size() - 1);
    // The folder above the executable's: bin/.. when installed, the build tree's top.
    std::string dir = n > 0 ? std::string(exe.data(), static_cast<std::size_t>(n)) : std::string();
    for (int up = 0; up < 2; ++up) {
        const std::size_t slash = dir.rfind('/');
        dir = slash == std::string::npos ? std::string() : dir.substr(0, slash);
    }
    return (dir.empty() ? std::string("..") : dir) + "/share/moonbite/places.tsv.gz";
}

std::string minutesText(double degrees, bool latitude) {
    const DegreesMinutes dm =
        toDegreesMinutes(degrees, latitude ? Axis::Latitude : Axis::Longitude);
    char buf[24];
    std::snprintf(buf, sizeof buf, "%d:%02d%c", dm.degrees, dm.minutes, dm.letter);
    return buf;
}

}  // namespace moonbite::places
