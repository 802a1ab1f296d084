// The commands that need Qt (the month page as a PDF, the journal listing)
// live in a module that the tool opens only when one of them runs, so every
// other command starts without loading any Qt library.
#pragma once

#include <ostream>
#include <string>

#include "date.h"
#include "month_calendar.h"

namespace moonbite::cli {

/// zoneName of a request that follows the computer's own zone by date.
inline constexpr const char* kComputerZone = ":computer";

struct MonthPdfRequest {
    double latitude = 0;   // decimal degrees, north positive
    double longitude = 0;  // decimal degrees, east positive
    double zone = 0;       // hours east of Greenwich
    std::string zoneName;  // followed by date: a zone's name, kComputerZone, or "" for none
    int year = 0;
    int month = 0;
    MonthCellOptions options;
    std::string path;  // already checked to be a new path or a regular file
    Date today;
};

struct JournalRequest {
    std::string folder;  // empty: the folder the program uses
    double zone = 0;
    std::string zoneName;  // as in MonthPdfRequest
    bool json = false;
    bool csv = false;
    Date today;
    /// The trip date's predicted highs and lows at the place's station, as
    /// "High 05:12 AM 1.83 m; Low 11:30 AM 0.21 m", "" when there are none.
    /// The tool tells them: the harmonics reader cannot be linked into a
    /// module. Null: no tides for any entry.
    void (*tidesOn)(void* context, Date date, std::string& out) = nullptr;
    void* tidesContext = nullptr;
};

/// 0, or kUsageError / kFailure with the one-line message (without the
/// program's name).
struct CommandResult {
    int status = 0;
    std::string message;
};

/// The module's table of commands. Nothing thrown crosses it.
struct QtCommands {
    int abiVersion;
    CommandResult (*writeMonthPdf)(const MonthPdfRequest& request);
    /// The listing comes back as text: the tool has its own copy of the C++
    /// runtime, so its streams are not handed to the module.
    CommandResult (*listJournal)(const JournalRequest& request, std::string& out);
};
inline constexpr int kQtCommandsAbi = 4;

/// The file name of the module and of the function that gives its table.
inline constexpr const char* kQtModuleName = "moonbite-cli-qt.so";
inline constexpr const char* kQtCommandsSymbol = "moonbite_cli_qt_commands";

/// Loads the module (once): from the path set below, else beside the
/// executable, else in the installed module folder. Throws std::runtime_error
/// with a one-line reason when it cannot.
[[nodiscard]] const QtCommands& qtCommands();

/// Opens one of the tool's modules (explicitFile when given, else beside the
/// executable, else in the installed module folder) and returns what its
/// entry function gives. Throws std::runtime_error with a one-line reason.
[[nodiscard]] const void* loadModuleTable(const char* fileName, const char* symbol,
                                          const std::string& explicitFile, const char* whatItDoes);

/// Where the module is, for programs that are not the tool itself (tests
/// that run the tool's commands in their own process).
void setQtModulePath(std::string path);

}  // namespace moonbite::cli
