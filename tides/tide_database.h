// The tide stations and their harmonic constants, read from a harmonics file
// in the Tide Constituent Database format (Debian's xtide-data ships one with
// NOAA's public-domain constants for US waters). Everything is copied into
// plain values, so the file is read once and libtcd's global state is left
// behind; heights are converted to metres.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace moonbite::tides {

/// One tidal constituent of the file: its speed and, for each year the file
/// covers, its node factor and equilibrium argument at 0h UTC on 1 January.
struct Constituent {
    std::string name;
    double speedDegreesPerHour = 0;
    std::vector<double> nodeFactor;           ///< by year - firstYear
    std::vector<double> equilibriumDegrees;   ///< V0+u, by year - firstYear
};

/// One constituent's amplitude and phase at a reference station.
struct StationTerm {
    int constituent = 0;      ///< index into TideDatabase::constituents
    double amplitudeMetres = 0;
    double epochDegrees = 0;  ///< the phase lag, referred to UTC
};

/// A subordinate station's corrections to its reference station's highs and
/// lows: minutes added to the times, a factor and then metres for the heights.
struct Offsets {
    int highMinutes = 0;
    int lowMinutes = 0;
    double highFactor = 1;
    double lowFactor = 1;
    double highAddMetres = 0;
    double lowAddMetres = 0;
};

struct TideStation {
    std::string name;
    std::string id;        ///< the agency's station number ("9449880")
    std::string timeZone;  ///< IANA name ("America/Los_Angeles"), "" when unknown
    std::string datum;     ///< what heights are above ("Mean Lower Low Water")
    double latitude = 0;
    double longitude = 0;  ///< degrees, east positive
    bool reference = true;
    /// Reference stations: the height of the mean water level above the datum
    /// and the constituents. Subordinate stations: the reference station (an
    /// index into TideDatabase::stations) and the offsets.
    double meanLevelMetres = 0;
    std::vector<StationTerm> terms;
    int referenceStation = -1;
    Offsets offsets;
};

struct TideDatabase {
    std::string source;  ///< the file read
    std::string edition; ///< what the file says of itself (its "last modified")
    int firstYear = 0;
    int yearCount = 0;
    std::vector<Constituent> constituents;
    /// Water-level stations only: current stations are left out. A subordinate
    /// station whose reference station is not a water-level station is left out.
    std::vector<TideStation> stations;

    [[nodiscard]] bool coversYear(int year) const {
        return year >= firstYear && year < firstYear + yearCount;
    }
};

/// Reads a harmonics file; an error text (naming the file) when it cannot be
/// opened or holds no water-level station.
struct LoadResult {
    std::optional<TideDatabase> database;
    std::string error;
};
/// Only the stations within km of a place (with the reference stations their
/// subordinate stations need): what one place's day asks for, read in a
/// fraction of the time. Such a database may hold no station at all.
struct Around {
    double latitude = 0;
    double longitude = 0;
    double km = 0;
};
[[nodiscard]] LoadResult loadTideDatabase(const std::string& path,
                                          const std::optional<Around>& around = std::nullopt);

/// The harmonics file to use: $MOONBITE_HARMONICS when set (even when it does
/// not exist, so the user hears of it), else the first .tcd file of
/// /usr/share/xtide (Debian's xtide-data), else "".
[[nodiscard]] std::string defaultHarmonicsPath();

}  // namespace moonbite::tides
