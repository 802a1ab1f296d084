// `moonbite-cli journal`: every fishing-journal entry with the Moon of its trip date.
#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <utility>

#include "cli_app.h"
#include "cli_shared.h"
#include "command.h"
#include "cli_tides.h"
#include "place_tides.h"
#include "qt_commands.h"
#include "stored_places.h"

namespace moonbite::cli {
namespace {

// Each trip date's highs and lows at the place's station by the place's
// clock, asked for by the journal's module. The harmonics file is read at the
// first trip date; without it, or without a station near, the tides are "":
// the journal is listed all the same.
class TripTides {
  public:
    TripTides(SolunarState s, double latitude, double longitude, std::string stored)
        : state_(std::move(s)),
          latitude_(latitude),
          longitude_(longitude),
          stored_(std::move(stored)) {}

    static void on(void* context, Date date, std::string& out) {
        // Nothing thrown may cross into the module.
        try {
            out = static_cast<TripTides*>(context)->text(date);
        } catch (...) {
            out.clear();
        }
    }

  private:
    std::string text(Date date) {
        const tides::TideStation* station = stationOfPlace();
        if (station == nullptr) return {};
        const tides::DayTides day = tides::dayTides(*db_, *station, state_, date);
        std::string text;
        for (std::size_t i = 0; i < day.events.size(); ++i) {
            if (i > 0) text += "; ";
            text += tides::eventText(day.events[i], day.minutes[i], state_.designators);
        }
        return text;
    }

    const tides::TideStation* stationOfPlace() {
        if (looked_) return station_;
        looked_ = true;
        db_ = source_.database();
        if (db_ == nullptr) return nullptr;
        const tides::StationChoice c = tides::chooseStation(*db_, latitude_, longitude_, stored_);
        if (c.index >= 0) station_ = &db_->stations[static_cast<std::size_t>(c.index)];
        return station_;
    }

    SolunarState state_;
    double latitude_;
    double longitude_;
    std::string stored_;
    tides::TideSource source_;
    bool looked_ = false;
    const tides::TideDatabase* db_ = nullptr;
    const tides::TideStation* station_ = nullptr;
};

class JournalCommand final : public Command {
  public:
    explicit JournalCommand(CLI::App& app) {
        CLI::App* journal = app.add_subcommand(
            "journal", "Every fishing-journal entry with the Moon of its trip date");
        addPlaceOptions(journal, place_, false);
        // The zone alone dates the trips; the coordinates add their tides.
        journal->add_option("--lat", latText_,
                            "Latitude for the predicted tides: \"48:32.7N\" (degrees:minutes "
                            "and N/S) or decimal degrees, north positive (with --lon and --tz "
                            "or --tz-name)");
        journal->add_option("--lon", lonText_,
                            "Longitude for the predicted tides: \"123:00.8W\" (degrees:minutes "
                            "and E/W) or decimal degrees, east positive");
        journal->add_option("--folder", folder_,
                            "The journal folder (default: the one Moonbite uses)");
        auto* json = journal->add_flag("--json", json_, "Write JSON");
        auto* csv = journal->add_flag("--csv", csv_, "Write CSV with a header row");
        json->excludes(csv);
    }

    int run(Date today, std::ostream& out, std::ostream& err) override {
        const bool coordinatesGiven = !latText_.empty() || !lonText_.empty();
        place_.latText = latText_;
        place_.lonText = lonText_;
        validatePlace(place_, coordinatesGiven, today);
        JournalRequest request;
        request.folder = folder_;
        request.zone = place_.tz;
        request.zoneName = zoneNameFor(place_);
        request.json = json_;
        request.csv = csv_;
        request.today = today;
        // A zone given alone says nothing of where the trips were.
        const bool zoneAlone = !coordinatesGiven && place_.placeName.empty() &&
                               place_.location.empty() &&
                               (place_.tzOption.has_value() || place_.tzName.has_value());
        TripTides tides(makeState(place_, today), place_.lat, place_.lon, storedTideStation());
        if (!zoneAlone) {
            request.tidesOn = &TripTides::on;
            request.tidesContext = &tides;
        }
        std::string listing;
        const CommandResult r = qtCommands().listJournal(request, listing);
        if (r.status != 0) return failure(err, r.message, r.status);
        out << listing;
        return 0;
    }

  private:
    // The station the place keeps in the settings (a town of the list, or
    // coordinates given, take the nearest).
    [[nodiscard]] std::string storedTideStation() const {
        const bool fromSettings = latText_.empty() && lonText_.empty() &&
                                  place_.placeName.empty() && !place_.tzOption && !place_.tzName;
        return cli::storedTideStation(place_, fromSettings);
    }

    std::string latText_;
    std::string lonText_;
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
