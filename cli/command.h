// One command of moonbite-cli: its options, its checks and its run in one
// unit, so that a new command is one new file and a line in the tool's table.
#pragma once

#include <memory>
#include <ostream>
#include <string_view>

#include "date.h"

namespace CLI {
class App;
}

namespace moonbite::cli {

class Command {
  public:
    virtual ~Command() = default;
    /// Runs the command once its options are parsed: the exit status, or
    /// InputError for bad input and WriteError for output that failed.
    virtual int run(Date today, std::ostream& out, std::ostream& err) = 0;
};

/// Adds the command's subcommand and options to app; the object holds the
/// values the options are read into.
using CommandDefinition = std::unique_ptr<Command> (*)(CLI::App& app);

struct CommandEntry {
    std::string_view name;
    CommandDefinition define;
};

std::unique_ptr<Command> defineDay(CLI::App& app);
std::unique_ptr<Command> defineMonth(CLI::App& app);
std::unique_ptr<Command> defineRange(CLI::App& app);
std::unique_ptr<Command> definePhases(CLI::App& app);
std::unique_ptr<Command> defineJournal(CLI::App& app);
std::unique_ptr<Command> defineIcs(CLI::App& app);
std::unique_ptr<Command> definePlaces(CLI::App& app);
std::unique_ptr<Command> defineTides(CLI::App& app);
std::unique_ptr<Command> defineStations(CLI::App& app);

/// The one line of a failure on err (writing it never throws); returns status.
int failure(std::ostream& err, const std::string& message, int status);

}  // namespace moonbite::cli
