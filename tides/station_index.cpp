#include "station_index.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "tide_prediction.h"

namespace moonbite::tides {
namespace {
#include "station_index.inc"
}  // namespace

std::optional<bool> indexedStationNear(const std::string& path, double latitude, double longitude,
                                       double km) {
    std::error_code ec;
    const std::filesystem::path file(path);
    if (file.filename() != kIndexedFile) return std::nullopt;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec || size != kIndexedSize) return std::nullopt;
    // A degree of latitude is 111 km at least: most stations are ruled out
    // without the trigonometry.
    const double degrees = km / 111.0 + 0.01;
    for (const auto& s : kIndexedStations) {
        if (s[0] < latitude - degrees || s[0] > latitude + degrees) continue;
        // Rounded positions: a station a hair beyond reach is asked of the file.
        if (distanceKm(latitude, longitude, s[0], s[1]) <= km + 0.05) return true;
    }
    return false;
}

std::size_t indexedStationCount() { return kIndexedCount; }

}  // namespace moonbite::tides
