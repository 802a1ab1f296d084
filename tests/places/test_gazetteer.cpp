// The gazetteer: folding names for comparison, search and its ranking on a
// committed sample of the table, suggestions, damaged tables, and the
// installed table finding the coastal towns anglers ask for.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "gazetteer.h"

using moonbite::places::foldForSearch;
using moonbite::places::Gazetteer;
using moonbite::places::minutesText;
using moonbite::places::PlaceRecord;

namespace {

std::string readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

const Gazetteer& sample() {
    static const Gazetteer g = [] {
        std::string error;
        auto table = Gazetteer::fromText(readFile(MOONBITE_PLACES_SAMPLE), &error);
        if (!table) throw std::runtime_error("sample table: " + error);
        return std::move(*table);
    }();
    return g;
}

// "Westport, WA, US" for the first few results, to read in a failure.
std::string describe(const Gazetteer& g, const std::vector<std::size_t>& hits) {
    std::string out;
    for (std::size_t i : hits) {
        const PlaceRecord& p = g.place(i);
        out += std::string(p.name) + ", " + std::string(p.regionCode) + ", " +
               std::string(p.country) + "; ";
    }
    return out;
}

struct Expect {
    const char* name;
    const char* country;
    const char* region;
};

void expectFirst(const Gazetteer& g, const char* query, Expect e) {
    const auto hits = g.search(query, 10);
    ASSERT_FALSE(hits.empty()) << query;
    const PlaceRecord& p = g.place(hits[0]);
    EXPECT_EQ(p.name, e.name) << query << ": " << describe(g, hits);
    EXPECT_EQ(p.country, e.country) << query << ": " << describe(g, hits);
    if (e.region) {
        EXPECT_EQ(p.regionCode, e.region) << query << ": " << describe(g, hits);
    }
}

std::filesystem::path tempFile(const char* name) {
    return std::filesystem::temp_directory_path() /
           (std::string("moonbite-places-") + std::to_string(::getpid()) + "-" + name);
}

}  // namespace

TEST(FoldForSearch, AccentsCaseAndPunctuationCompareAsPlainWords) {
    const struct {
        const char* in;
        const char* out;
    } rows[] = {
        {"São Paulo", "sao paulo"},
        {"Tromsø", "tromso"},
        {"TROMSØ", "tromso"},
        {"Henningsvær", "henningsvaer"},
        {"Łódź", "lodz"},
        {"Bremervörde", "bremervorde"},
        {"Straße", "strasse"},
        {"Hawke's Bay", "hawkes bay"},
        {"Hawke\xE2\x80\x99s Bay", "hawkes bay"},  // typographic apostrophe
        {"Saint-Malo", "saint malo"},
        {"  Key   West ", "key west"},
        {"Sa\xCC\x83o", "sao"},                   // a decomposed tilde
        {"Bra\xC8\x99ov", "brasov"},              // s with comma below
        {"Port\xC2\xA0Lincoln", "port lincoln"},  // no-break space
        {"Москва", "Москва"},                     // other scripts kept as written
    };
    for (const auto& r : rows)
        EXPECT_EQ(foldForSearch(r.in), r.out) << r.in;
}

TEST(FoldForSearch, BrokenUtf8NeverReadsPastTheText) {
    const std::string broken[] = {"\xC3", "ab\xE2\x80", "\xFF\xFE", std::string("a\0b", 3),
                                  "\xF0\x9F\x98"};
    for (const std::string& s : broken) {
        const std::string folded = foldForSearch(s);
        EXPECT_LE(folded.size(), s.size() * 2) << "the fold of a broken text grew unbounded";
    }
    EXPECT_EQ(foldForSearch(std::string(100000, 'A')), std::string(100000, 'a'));
}

TEST(GazetteerSearch, AccentsAndCaseIgnoredEitherWay) {
    expectFirst(sample(), "sao paulo", {"São Paulo", "BR", nullptr});
    expectFirst(sample(), "SÃO PAULO", {"São Paulo", "BR", nullptr});
    expectFirst(sample(), "tromso", {"Tromsø", "NO", nullptr});
    expectFirst(sample(), "Tromsø", {"Tromsø", "NO", nullptr});
    expectFirst(sample(), "henningsvaer", {"Henningsvær", "NO", nullptr});
    expectFirst(sample(), "lodz", {"Łódź", "PL", nullptr});
    // The ASCII column writes ö as "oe"; the fold of the name writes "o": both find it.
    expectFirst(sample(), "bremervorde", {"Bremervörde", "DE", nullptr});
    expectFirst(sample(), "bremervoerde", {"Bremervörde", "DE", nullptr});
}

TEST(GazetteerSearch, WholeNameFirstThenNamesStartingWithItThenWords) {
    const Gazetteer& g = sample();
    // Seven towns are called Homer; Homer Glen is larger than all but comes after them.
    const auto homer = g.search("homer", 20);
    ASSERT_EQ(homer.size(), 8u) << describe(g, homer);
    EXPECT_EQ(g.place(homer[0]).regionCode, "AK") << "the largest Homer first";
    for (std::size_t k = 1; k < 7; ++k) {
        EXPECT_EQ(g.place(homer[k]).name, "Homer") << describe(g, homer);
        EXPECT_GE(g.place(homer[k - 1]).population, g.place(homer[k]).population);
    }
    EXPECT_EQ(g.place(homer[7]).name, "Homer Glen");

    // "port": names starting with it (by population) before a name that only has the word.
    const auto port = g.search("port", 50);
    ASSERT_FALSE(port.empty());
    EXPECT_EQ(g.place(port[0]).name, "Portland");
    EXPECT_EQ(g.place(port[0]).regionCode, "OR");
    expectFirst(g, "lincoln", {"Port Lincoln", "AU", "05"});
    expectFirst(g, "malo", {"Saint-Malo", "FR", nullptr});
    expectFirst(g, "key", {"Key West", "US", "FL"});
    expectFirst(g, "key l", {"Key Largo", "US", "FL"});
}

TEST(GazetteerSearch, RegionAndCountryNarrowTheTown) {
    const Gazetteer& g = sample();
    expectFirst(g, "westport", {"Westport", "US", "CT"});
    expectFirst(g, "westport wa", {"Westport", "US", "WA"});
    expectFirst(g, "Westport, Washington", {"Westport", "US", "WA"});
    expectFirst(g, "westport ireland", {"Westport", "IE", "C"});
    expectFirst(g, "westport west coast", {"Westport", "NZ", "G3"});
    expectFirst(g, "exmouth", {"Exmouth", "GB", "ENG"});
    expectFirst(g, "exmouth australia", {"Exmouth", "AU", "08"});
    expectFirst(g, "exmouth au", {"Exmouth", "AU", "08"});
    expectFirst(g, "portland maine", {"Portland", "US", "ME"});
    expectFirst(g, "homer ak", {"Homer", "US", "AK"});
    // A region alone names no town; a numeric region code is not a word to match.
    EXPECT_TRUE(g.search("washington", 10).empty());
    EXPECT_TRUE(g.search("saint malo 53", 10).empty());
}

TEST(GazetteerSearch, NothingForNothing) {
    const Gazetteer& g = sample();
    EXPECT_TRUE(g.search("", 10).empty());
    EXPECT_TRUE(g.search("  ,.- ", 10).empty());
    EXPECT_TRUE(g.search("zzzz", 10).empty());
    EXPECT_TRUE(g.search("key", 0).empty());
    EXPECT_EQ(g.search("portland", 3).size(), 3u);
    EXPECT_TRUE(g.search(std::string(5000, 'k'), 10).empty());
}

TEST(GazetteerSearch, RegionAndCountryNames) {
    const Gazetteer& g = sample();
    const PlaceRecord& kw = g.place(g.search("key west", 1).at(0));
    EXPECT_EQ(g.regionName(kw), "Florida");
    EXPECT_EQ(g.countryName(kw), "United States");
    EXPECT_EQ(kw.zone, "America/New_York");
    const PlaceRecord& kaikoura = g.place(g.search("kaikoura", 1).at(0));
    EXPECT_EQ(g.regionName(kaikoura), "Canterbury");
    // A numeric code without a known name shows no region rather than "53".
    EXPECT_EQ(g.regionName(g.place(g.search("saint malo", 1).at(0))), "");
}

TEST(GazetteerSuggestions, OneOrTwoLettersOff) {
    const Gazetteer& g = sample();
    const struct {
        const char* query;
        const char* expected;
    } rows[] = {{"Kee West", "Key West"},
                {"Westprot", "Westport"},  // two letters swapped
                {"Tromsoo", "Tromsø"},
                {"Kaikora", "Kaikoura"},
                {"Montak", "Montauk"}};
    for (const auto& r : rows) {
        const auto near = g.suggestions(r.query, 3);
        ASSERT_FALSE(near.empty()) << r.query;
        EXPECT_EQ(g.place(near[0]).name, r.expected) << r.query << ": " << describe(g, near);
    }
    EXPECT_TRUE(g.suggestions("Qqqqqqq", 3).empty());
    EXPECT_TRUE(g.suggestions("ke", 3).empty()) << "two letters suggest nothing useful";
}

TEST(GazetteerTable, DamagedTablesAreRefusedWithTheLine) {
    const std::string header = "# Moonbite places 1\nC\tUS\tUnited States\n";
    const std::string good = "Key West\t\tUS\tFL\t24.5552\t-81.7816\tAmerica/New_York\t25755\n";
    std::string error;
    EXPECT_TRUE(Gazetteer::fromText(header + good, &error)) << error;

    const struct {
        const char* why;
        std::string text;
        const char* reason;
    } rows[] = {
        {"no header", good, "not a Moonbite places table"},
        {"no places", header, "no places"},
        {"a field missing", header + good + "Homer\t\tUS\tAK\t59.6\t-151.5\tAmerica/Anchorage\n",
         "line 4"},
        {"latitude beyond the pole", header + "X\t\tUS\tFL\t95\t1\tUTC\t1\n", "line 3"},
        {"a word for a number", header + "X\t\tUS\tFL\tnorth\t1\tUTC\t1\n", "line 3"},
        {"no zone", header + "X\t\tUS\tFL\t1\t1\t\t1\n", "line 3"},
        {"negative population", header + "X\t\tUS\tFL\t1\t1\tUTC\t-5\n", "line 3"},
    };
    for (const auto& r : rows) {
        error.clear();
        EXPECT_FALSE(Gazetteer::fromText(r.text, &error)) << r.why;
        EXPECT_NE(error.find(r.reason), std::string::npos) << r.why << ": " << error;
    }
}

TEST(GazetteerTable, ReadsCompressedAndPlainFilesAndSaysWhyNot) {
    const std::string text = readFile(MOONBITE_PLACES_SAMPLE);
    const auto gzPath = tempFile("sample.tsv.gz");
    gzFile gz = gzopen(gzPath.c_str(), "wb");
    ASSERT_NE(gz, nullptr);
    ASSERT_EQ(gzwrite(gz, text.data(), static_cast<unsigned>(text.size())),
              static_cast<int>(text.size()));
    gzclose(gz);

    std::string error;
    auto fromGz = Gazetteer::load(gzPath.string(), &error);
    ASSERT_TRUE(fromGz) << error;
    auto plain = Gazetteer::load(MOONBITE_PLACES_SAMPLE, &error);
    ASSERT_TRUE(plain) << error;
    EXPECT_EQ(fromGz->size(), plain->size());
    EXPECT_EQ(fromGz->size(), sample().size());

    // A download cut short: the compressed stream ends early.
    const std::string whole = readFile(gzPath.c_str());
    const auto cutPath = tempFile("cut.tsv.gz");
    std::ofstream(cutPath, std::ios::binary).write(whole.data(), whole.size() / 2);
    error.clear();
    EXPECT_FALSE(Gazetteer::load(cutPath.string(), &error));
    EXPECT_NE(error.find(cutPath.string()), std::string::npos) << error;

    error.clear();
    EXPECT_FALSE(Gazetteer::load("/nonexistent/places.tsv.gz", &error));
    EXPECT_NE(error.find("/nonexistent/places.tsv.gz"), std::string::npos) << error;
    std::filesystem::remove(gzPath);
    std::filesystem::remove(cutPath);
}

TEST(GazetteerTable, MinutesInTheToolsForm) {
    EXPECT_EQ(minutesText(24.55524, true), "24:33N");
    EXPECT_EQ(minutesText(-81.78163, false), "81:47W");
    EXPECT_EQ(minutesText(-33.8679, true), "33:52S");
    EXPECT_EQ(minutesText(151.2073, false), "151:12E");
    EXPECT_EQ(minutesText(0.0, false), "0:00E");
}

// The installed table: every coastal town on our testers' list is found by
// what an angler would type, in the right country, near where it lies
// (positions to a tenth of a degree from the towns' charts).
TEST(InstalledTable, FindsTheCoastalTownsAnglersAskFor) {
    std::string error;
    const auto table = Gazetteer::load(MOONBITE_PLACES_TABLE, &error);
    ASSERT_TRUE(table) << error;
    EXPECT_GT(table->size(), 190000u);
    const struct {
        const char* query;
        const char* name;
        const char* country;
        double lat;
        double lon;
    } towns[] = {
        {"Montauk", "Montauk", "US", 41.04, -71.95},
        {"Islamorada", "Islamorada", "US", 24.92, -80.63},
        {"Homer", "Homer", "US", 59.64, -151.55},
        {"Port Aransas", "Port Aransas", "US", 27.83, -97.06},
        {"Ullapool", "Ullapool", "GB", 57.90, -5.16},
        {"Mevagissey", "Mevagissey", "GB", 50.27, -4.79},
        {"Tofino", "Tofino", "CA", 49.15, -125.91},
        {"Kaikoura", "Kaikoura", "NZ", -42.40, 173.68},
        {"Cape May", "Cape May", "US", 38.94, -74.91},
        {"Ocracoke", "Ocracoke", "US", 35.11, -75.98},
        {"Sitka", "Sitka", "US", 57.05, -135.33},
        {"Henningsvaer", "Henningsvær", "NO", 68.15, 14.20},
        {"Kinsale", "Kinsale", "IE", 51.71, -8.52},
        {"Exmouth Australia", "Exmouth", "AU", -21.93, 114.12},
        {"Bremer Bay", "Bremer Bay", "AU", -34.39, 119.38},
        {"Port Lincoln", "Port Lincoln", "AU", -34.73, 135.87},
        {"Key West", "Key West", "US", 24.56, -81.78},
        {"Chincoteague", "Chincoteague", "US", 37.93, -75.38},
        {"Westport WA", "Westport", "US", 46.89, -124.10},
        {"Ilwaco", "Ilwaco", "US", 46.31, -124.04},
    };
    for (const auto& t : towns) {
        const auto hits = table->search(t.query, 5);
        ASSERT_FALSE(hits.empty()) << t.query;
        const PlaceRecord& p = table->place(hits[0]);
        EXPECT_EQ(p.name, t.name) << t.query << ": " << describe(*table, hits);
        EXPECT_EQ(p.country, t.country) << t.query;
        EXPECT_NEAR(p.latitude, t.lat, 0.1) << t.query;
        EXPECT_NEAR(p.longitude, t.lon, 0.1) << t.query;
    }
}
