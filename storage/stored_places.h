// The places the program has stored, read without Qt: the current location,
// the saved locations and the month-calendar options, with the same values
// and the same file checks as the settings store.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ini_reader.h"

namespace moonbite::storage {

/// The program lists at most this many saved locations.
inline constexpr int kMaxSavedLocations = 32767;

/// The seven keys a location is stored with, as stored; nullopt when absent
/// (each reader applies its own defaults).
struct LocationValues {
    std::optional<std::string> latdeg, latmin, NorS, londeg, lonmin, WorE, gmt;
};

/// The print-calendar options of the title file's [Settings]; nullopt when absent.
struct CalendarOptionValues {
    std::optional<std::string> Prediction, Sunrise, Moonrise, Majorminor, Newfull;
};

/// The two settings files of one folder, each read once, on first use.
class StoredPlaces {
  public:
    /// folder: where "Moonbite.ini" and "Moonbite State.ini" live; empty means
    /// the user's config folder ($XDG_CONFIG_HOME, else ~/.config, + "/Moonbite").
    explicit StoredPlaces(std::string folder = {});

    [[nodiscard]] const std::string& folder() const { return folder_; }
    /// folder + "/Moonbite.ini", the title application's file.
    [[nodiscard]] std::string titlePath() const;
    /// folder + "/Moonbite State.ini", the state application's file.
    [[nodiscard]] std::string statePath() const;
    /// The parsed files, with their problem() and reason(). A file that is not
    /// readable() gives no values, as the store then gives the defaults.
    [[nodiscard]] const IniFile& titleFile() const;
    [[nodiscard]] const IniFile& stateFile() const;

    /// Any key of the state file's [Settings] ("currentloc", "gmt", "runalarm", ...).
    [[nodiscard]] std::optional<std::string> stateSetting(std::string_view key) const;
    /// Any key of the title file's [Settings].
    [[nodiscard]] std::optional<std::string> titleSetting(std::string_view key) const;
    /// The current location's name ("currentloc" in the state file).
    [[nodiscard]] std::optional<std::string> currentLocationName() const;
    /// The current location's seven values, from the state file's [Settings].
    [[nodiscard]] LocationValues currentLocation() const;

    /// The saved locations in list order: place(1) .. place(n), n being
    /// "nlist" read as the program reads a whole number (0 when absent or not
    /// a number), at most kMaxSavedLocations. A missing place(i) is an empty
    /// name, as the program lists it.
    [[nodiscard]] std::vector<std::string> savedLocationNames() const;
    /// True when the list holds exactly this name (compared as the program
    /// compares texts).
    [[nodiscard]] bool isSavedLocation(std::string_view name) const;
    /// The seven values saved under the name, from its own section, whether
    /// or not the list names it.
    [[nodiscard]] LocationValues savedLocation(std::string_view name) const;

    /// The month-calendar options of the title file's [Settings].
    [[nodiscard]] CalendarOptionValues calendarOptions() const;

  private:
    int savedLocationCount() const;
    std::optional<std::u16string> savedName(int index) const;

    std::string folder_;
    mutable std::optional<IniFile> title_;
    mutable std::optional<IniFile> state_;
};

/// The section of a saved location as the settings store names it:
/// "Settings\Locations\" + the name with "%", "\" and "/" written as "%25",
/// "%5C" and "%2F" (so it stays one section), "%00" for an empty name.
[[nodiscard]] std::string locationSection(std::string_view name);

/// A stored text as the program reads a whole number (surrounding blanks
/// allowed, an int); nullopt when it is not one, and the caller's default applies.
[[nodiscard]] std::optional<int> wholeNumberSetting(const std::optional<std::string>& text);

/// The folder the program keeps its settings in when none is given.
[[nodiscard]] std::string defaultSettingsFolder();

}  // namespace moonbite::storage
