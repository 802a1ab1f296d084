#include "stored_places.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>

namespace moonbite::storage {

namespace {

constexpr std::string_view kLocationDirectory = "Settings\\Locations\\";

// The name encoded as the store encodes it, as UTF-16: the tool's name goes
// through the same UTF-8 decoding as the store's callers give it.
std::u16string encodedName(std::string_view name) {
    std::u16string encoded;
    for (const char16_t c : utf16FromUtf8(name)) {
        if (c == '%')
            encoded += u"%25";
        else if (c == '\\')
            encoded += u"%5C";
        else if (c == '/')
            encoded += u"%2F";
        else
            encoded += c;
    }
    // "%00" cannot come from any name, because every "%" of a name is encoded.
    if (encoded.empty()) encoded = u"%00";
    return encoded;
}

LocationValues locationValues(const IniFile& file, const std::string& prefix) {
    try {
        auto at = [&](const char* key) { return file.value(prefix + key); };
        return {at("latdeg"), at("latmin"), at("NorS"), at("londeg"),
                at("lonmin"), at("WorE"),   at("gmt")};
    } catch (const std::bad_alloc&) {
        return {};
    }
}

}  // namespace

StoredPlaces::StoredPlaces(std::string folder) : folder_(std::move(folder)) {
    if (folder_.empty()) folder_ = defaultSettingsFolder();
}

std::string StoredPlaces::titlePath() const {
    return folder_ + "/Moonbite.ini";
}

std::string StoredPlaces::statePath() const {
    return folder_ + "/Moonbite State.ini";
}

const IniFile& StoredPlaces::titleFile() const {
    if (!title_) title_ = IniFile::load(titlePath());
    return *title_;
}

const IniFile& StoredPlaces::stateFile() const {
    if (!state_) state_ = IniFile::load(statePath());
    return *state_;
}

std::optional<std::string> StoredPlaces::stateSetting(std::string_view key) const {
    return stateFile().get("Settings", key);
}

std::optional<std::string> StoredPlaces::titleSetting(std::string_view key) const {
    return titleFile().get("Settings", key);
}

std::optional<std::string> StoredPlaces::currentLocationName() const {
    return stateSetting("currentloc");
}

LocationValues StoredPlaces::currentLocation() const {
    return locationValues(stateFile(), "Settings/");
}

std::optional<std::u16string> StoredPlaces::savedName(int index) const {
    const std::string digits = std::to_string(index);
    return titleFile().text(u"Settings/Locations/place(" +
                            std::u16string(digits.begin(), digits.end()) + u")");
}

int StoredPlaces::savedLocationCount() const {
    const auto n = wholeNumberSetting(titleFile().get(kLocationDirectory, "nlist"));
    return std::min(n.value_or(0), kMaxSavedLocations);
}

std::vector<std::string> StoredPlaces::savedLocationNames() const {
    std::vector<std::string> names;
    try {
        const int n = savedLocationCount();
        for (int i = 1; i <= n; ++i)
            names.push_back(utf8FromUtf16(savedName(i).value_or(u"")));
    } catch (const std::bad_alloc&) {
        names.clear();
    }
    return names;
}

bool StoredPlaces::isSavedLocation(std::string_view name) const {
    try {
        const std::u16string wanted = utf16FromUtf8(name);
        const int n = savedLocationCount();
        for (int i = 1; i <= n; ++i) {
            if (savedName(i).value_or(u"") == wanted) return true;
        }
    } catch (const std::bad_alloc&) {
        // Out of memory: not found, like any other failed read.
    }
    return false;
}

LocationValues StoredPlaces::savedLocation(std::string_view name) const {
    try {
        return locationValues(titleFile(),
                              "Settings/Locations/" + utf8FromUtf16(encodedName(name)) + "/");
    } catch (const std::bad_alloc&) {
        return {};
    }
}

CalendarOptionValues StoredPlaces::calendarOptions() const {
    return {titleSetting("Prediction"), titleSetting("Sunrise"), titleSetting("Moonrise"),
            titleSetting("Majorminor"), titleSetting("Newfull")};
}

std::string locationSection(std::string_view name) {
    return std::string(kLocationDirectory) + utf8FromUtf16(encodedName(name));
}

std::optional<int> wholeNumberSetting(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    const auto value = wholeNumber(*text);
    if (!value || *value < std::numeric_limits<int>::min() ||
        *value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(*value);
}

std::string defaultSettingsFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base = config != nullptr ? config : "";
    if (base.empty()) {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr && *home != '\0' ? home : "") + "/.config";
    }
    return base + "/Moonbite";
}

}  // namespace moonbite::storage
