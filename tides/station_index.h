// Where the stations of the installed harmonics file lie, compiled in: a
// place far from every station is told so without opening the file.
#pragma once

#include <optional>
#include <string>

namespace moonbite::tides {

/// Whether any water-level station lies within km of the place, by the
/// compiled-in index; nothing when the index does not describe the file at
/// path (another file, or another edition), and the file must be asked.
[[nodiscard]] std::optional<bool> indexedStationNear(const std::string& path, double latitude,
                                                     double longitude, double km);

/// The number of stations the index holds (0 when it holds none).
[[nodiscard]] std::size_t indexedStationCount();

}  // namespace moonbite::tides
