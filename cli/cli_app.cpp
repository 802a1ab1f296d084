#include "cli_app.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "cli_common.h"
#include "command.h"

namespace moonbite::cli {
namespace {

// The commands, in the order the help lists them.
constexpr std::array<CommandEntry, 9> kCommands = {{{"day", &defineDay},
                                                    {"month", &defineMonth},
                                                    {"range", &defineRange},
                                                    {"phases", &definePhases},
                                                    {"journal", &defineJournal},
                                                    {"ics", &defineIcs},
                                                    {"places", &definePlaces},
                                                    {"tides", &defineTides},
                                                    {"stations", &defineStations}}};

// An option given an empty value ("--date ''") is bad input, never its
// default; only --options means something empty (no lines in the cells).
void refuseEmptyValues(const CLI::App& command) {
    for (const CLI::Option* option : command.get_options()) {
        if (option->count() == 0 || option->get_type_size() == 0) continue;
        const std::vector<std::string> names = option->get_lnames();
        if (names.empty() || names.front() == "options" || names.front() == "pdf") continue;
        for (const std::string& value : option->results())
            if (value.empty()) throw InputError("--" + names.front() + " needs a value");
    }
}

int runCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
               Date today) {
    CLI::App app{"moonbite-cli: solunar fishing times, Moon phases and predictions",
                 "moonbite-cli"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("moonbite-cli ") + MOONBITE_VERSION,
                         "Show the version and exit");

    // Only the command asked for is defined (all of them for the general help
    // and for errors): setting up the parser costs more than computing a day.
    // Numbers are taken as text and read as decimal by the commands.
    const std::string_view asked = argc > 1 ? std::string_view(argv[1]) : std::string_view();
    const bool known = std::any_of(kCommands.begin(), kCommands.end(),
                                   [&](const CommandEntry& c) { return c.name == asked; });
    std::vector<std::pair<CLI::App*, std::unique_ptr<Command>>> defined;
    for (const CommandEntry& c : kCommands) {
        if (known && c.name != asked) continue;
        std::unique_ptr<Command> command = c.define(app);
        defined.emplace_back(app.get_subcommand(std::string(c.name)), std::move(command));
    }

    // CLI11 would only say that a command is required.
    if (argc > 1 && argv[1][0] != '-' && !known) {
        err << "moonbite-cli: unknown command \"" << shown(argv[1])
            << "\" (use day, month, range, phases, journal, ics or places)\n";
        return kUsageError;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << '\n';
        return 0;
    } catch (const CLI::ParseError& e) {
        err << "moonbite-cli: " << shown(std::string(e.what())) << '\n';
        return kUsageError;
    }

    try {
        for (auto& [subcommand, command] : defined) {
            if (!subcommand->parsed()) continue;
            refuseEmptyValues(*subcommand);
            return command->run(today, out, err);
        }
    } catch (const InputError& e) {
        err << "moonbite-cli: " << e.what() << '\n';
        return kUsageError;
    } catch (const WriteError& e) {
        return failure(err, e.what(), kFailure);
    } catch (const MissingData& e) {
        return failure(err, e.what(), kFailure);
    }
    return 0;
}

}  // namespace

int failure(std::ostream& err, const std::string& message, int status) {
    try {
        err << "moonbite-cli: " << message << '\n' << std::flush;
    } catch (...) {  // nowhere left to say it
    }
    return status;
}

int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err, Date today) {
    try {
        const int status = runCommand(argc, argv, out, err, today);
        // Output that never arrived is a failure, however well the rest went.
        errno = 0;
        out.flush();
        if (!out) {
            const int e = errno;
            return failure(err,
                           std::string("cannot write the output") +
                               (e != 0 ? std::string(": ") + std::strerror(e) : ""),
                           kFailure);
        }
        return status;
    } catch (const std::bad_alloc&) {
        return failure(err, "out of memory", kFailure);
    } catch (const std::exception& e) {
        return failure(err, "internal error: " + shown(std::string(e.what())), kFailure);
    } catch (...) {
        return failure(err, "internal error of an unknown kind", kFailure);
    }
}

}  // namespace moonbite::cli
