#include "tide_database.h"

#include "tide_prediction.h"

#include <tcd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

namespace moonbite::tides {
namespace {

constexpr double kMetresPerFoot = 0.3048;

/// Metres per unit of a station's level units; 0 for anything that is not a
/// water level (knots of a current station, unknown units).
double metresPer(const char* units) {
    if (std::strcmp(units, "feet") == 0) return kMetresPerFoot;
    if (std::strcmp(units, "meters") == 0) return 1;
    return 0;
}

/// The file's time offsets are hours * 100 + minutes, signed as a whole.
int minutesOf(std::int32_t hhmm) {
    const int sign = hhmm < 0 ? -1 : 1;
    const int v = std::abs(hhmm);
    return sign * ((v / 100) * 60 + v % 100);
}

std::string zoneName(const char* tzfile) {
    std::string z = tzfile;
    // The file writes zones as ":Area/City"; "Unknown" when it has none.
    if (!z.empty() && z.front() == ':') z.erase(0, 1);
    return z == "Unknown" ? std::string() : z;
}

}  // namespace

LoadResult loadTideDatabase(const std::string& path, const std::optional<Around>& around) {
    LoadResult result;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        result.error = "the harmonics file " + path + " does not exist or is not a file";
        return result;
    }
    // A file that is not a tide database leaves libtcd half open, and the next
    // file opened then trips its assertions: look at the first line first.
    {
        std::ifstream in(path, std::ios::binary);
        char start[10] = {};
        in.read(start, sizeof start);
        if (!in || std::memcmp(start, "[VERSION]", 9) != 0) {
            result.error = "the harmonics file " + path + " cannot be read as a tide database";
            return result;
        }
    }
    // libtcd takes a writable name and keeps the file open until closed.
    std::string name = path;
    if (!open_tide_db(name.data())) {
        result.error = "the harmonics file " + path + " cannot be read as a tide database";
        return result;
    }
    const DB_HEADER_PUBLIC header = get_tide_db_header();
    TideDatabase db;
    db.source = path;
    db.edition = header.last_modified;
    db.firstYear = header.start_year;
    db.yearCount = static_cast<int>(header.number_of_years);
    db.constituents.resize(header.constituents);
    for (std::uint32_t c = 0; c < header.constituents; ++c) {
        Constituent& k = db.constituents[c];
        const auto i = static_cast<NV_INT32>(c);
        k.name = get_constituent(i);
        k.speedDegreesPerHour = get_speed(i);
        const NV_FLOAT32* f = get_node_factors(i);
        const NV_FLOAT32* v = get_equilibriums(i);
        k.nodeFactor.assign(f, f + db.yearCount);
        k.equilibriumDegrees.assign(v, v + db.yearCount);
    }

    // The records to read: all, or those near the place with the reference
    // stations of the subordinate ones among them (found from the short
    // headers, which are quick to read).
    std::vector<char> wanted(header.number_of_records, around ? 0 : 1);
    if (around) {
        TIDE_STATION_HEADER h{};
        for (std::uint32_t r = 0; r < header.number_of_records; ++r) {
            if (!get_partial_tide_record(static_cast<NV_INT32>(r), &h)) continue;
            if (distanceKm(around->latitude, around->longitude, h.latitude, h.longitude) >
                around->km)
                continue;
            wanted[r] = 1;
            if (h.record_type != REFERENCE_STATION && h.reference_station >= 0 &&
                static_cast<std::uint32_t>(h.reference_station) < header.number_of_records)
                wanted[static_cast<std::size_t>(h.reference_station)] = 1;
        }
    }
    // A record is large (three 10,000-character texts): one, reused.
    auto record = std::make_unique<TIDE_RECORD>();
    std::map<std::int32_t, int> indexOfRecord;  // file record number -> stations index
    std::vector<std::int32_t> referenceRecordOf;
    for (std::uint32_t r = 0; r < header.number_of_records; ++r) {
        if (!wanted[r]) continue;
        if (read_tide_record(static_cast<NV_INT32>(r), record.get()) < 0) continue;
        const TIDE_RECORD& rec = *record;
        const double unit = metresPer(get_level_units(rec.level_units));
        if (unit == 0) continue;  // a current station
        TideStation s;
        s.name = rec.header.name;
        s.id = rec.station_id;
        s.timeZone = zoneName(get_tzfile(rec.header.tzfile));
        s.latitude = rec.header.latitude;
        s.longitude = rec.header.longitude;
        if (rec.header.record_type == REFERENCE_STATION) {
            // Epochs referred to a local meridian occur only at current
            // stations in this file; one here would be read wrongly.
            if (rec.zone_offset != 0) continue;
            s.reference = true;
            s.datum = get_datum(rec.datum);
            s.meanLevelMetres = rec.datum_offset * unit;
            for (std::uint32_t c = 0; c < header.constituents; ++c) {
                if (rec.amplitude[c] <= 0) continue;
                s.terms.push_back({static_cast<int>(c), rec.amplitude[c] * unit,
                                   static_cast<double>(rec.epoch[c])});
            }
            if (s.terms.empty()) continue;
            referenceRecordOf.push_back(-1);
        } else {
            s.reference = false;
            Offsets& o = s.offsets;
            o.highMinutes = minutesOf(rec.max_time_add);
            o.lowMinutes = minutesOf(rec.min_time_add);
            // A factor of 0 means none was given: 1.
            o.highFactor = rec.max_level_multiply == 0 ? 1.0 : rec.max_level_multiply;
            o.lowFactor = rec.min_level_multiply == 0 ? 1.0 : rec.min_level_multiply;
            o.highAddMetres = rec.max_level_add * unit;
            o.lowAddMetres = rec.min_level_add * unit;
            referenceRecordOf.push_back(rec.header.reference_station);
        }
        indexOfRecord[static_cast<std::int32_t>(r)] = static_cast<int>(db.stations.size());
        db.stations.push_back(std::move(s));
    }
    close_tide_db();

    // Subordinate stations point at their reference by file record number.
    std::vector<TideStation> kept;
    std::vector<int> newIndex(db.stations.size(), -1);
    for (std::size_t i = 0; i < db.stations.size(); ++i) {
        TideStation& s = db.stations[i];
        if (!s.reference) {
            const auto it = indexOfRecord.find(referenceRecordOf[i]);
            if (it == indexOfRecord.end() || !db.stations[it->second].reference) continue;
            s.referenceStation = it->second;
            // The reference station's datum is the one the heights are above.
            s.datum = db.stations[it->second].datum;
        }
        newIndex[i] = static_cast<int>(kept.size());
        kept.push_back(s);
    }
    for (TideStation& s : kept)
        if (!s.reference) s.referenceStation = newIndex[static_cast<std::size_t>(s.referenceStation)];
    db.stations = std::move(kept);
    if (db.stations.empty() && !around) {
        result.error = "the harmonics file " + path + " holds no tide station";
        return result;
    }
    result.database = std::move(db);
    return result;
}

std::string defaultHarmonicsPath() {
    if (const char* chosen = std::getenv("MOONBITE_HARMONICS"); chosen != nullptr && *chosen)
        return chosen;
    std::error_code ec;
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/share/xtide", ec)) {
        if (entry.path().extension() == ".tcd") found.push_back(entry.path().string());
    }
    std::sort(found.begin(), found.end());
    return found.empty() ? std::string() : found.back();
}

}  // namespace moonbite::tides
