// `moonbite-cli journal`: every fishing-journal entry with the Moon of its trip date.
#include <CLI/CLI.hpp>

#include "cli_app.h"
#include "cli_shared.h"
#include "command.h"
#include "qt_commands.h"

namespace moonbite::cli {
namespace {

class JournalCommand final : public Command {
  public:
    explicit JournalCommand(CLI::App& app) {
        CLI::App* journal = app.add_subcommand(
            "journal", "Every fishing-journal entry with the Moon of its trip date");
        addPlaceOptions(journal, place_, false);
        journal->add_option("--folder", folder_,
                            "The journal folder (default: the one Moonbite uses)");
        auto* json = journal->add_flag("--json", json_, "Write JSON");
        auto* csv = journal->add_flag("--csv", csv_, "Write CSV with a header row");
        json->excludes(csv);
    }

    int run(Date today, std::ostream& out, std::ostream& err) override {
        validatePlace(place_, false, today);
        JournalRequest request;
        request.folder = folder_;
        request.zone = place_.tz;
        request.zoneName = zoneNameFor(place_);
        request.json = json_;
        request.csv = csv_;
        request.today = today;
        std::string listing;
        const CommandResult r = qtCommands().listJournal(request, listing);
        if (r.status != 0) return failure(err, r.message, r.status);
        out << listing;
        return 0;
    }

  private:
    Place place_;
    std::string folder_;
    bool json_ = false;
    bool csv_ = false;
};

}  // namespace

std::unique_ptr<Command> defineJournal(CLI::App& app) {
    return std::make_unique<JournalCommand>(app);
}

}  // namespace moonbite::cli
