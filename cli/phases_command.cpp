// `moonbite-cli phases`: the new and full moon table of a year.
#include <CLI/CLI.hpp>
#include <iomanip>

#include "cli_app.h"
#include "cli_shared.h"
#include "command.h"

namespace moonbite::cli {
namespace {

class PhasesCommand final : public Command {
  public:
    explicit PhasesCommand(CLI::App& app) {
        CLI::App* phases = app.add_subcommand("phases", "The new and full moon table of a year");
        addPlaceOptions(phases, place_, false);
        phases->add_option("--year", year_, "Year, 1901..2200")->required();
        phases->add_flag("--json", json_, "Write JSON");
    }

    int run(Date today, std::ostream& out, std::ostream&) override {
        validatePlace(place_, false, today);
        const int year = requireWhole(year_, "--year", 1901, 2200);
        SolunarState s = makeState(place_, today);
        const Date firstDay = *Date::fromYmd(year, 1, 1);
        useZoneOf(s, firstDay);
        s.computationDate = firstDay;
        // A zone followed by date gives each new or full moon in the offset in
        // force at its instant.
        calcmoontime(s);
        Json entries = Json::array();
        for (int i = 0; i < kPhaseTableSize; ++i) {
            const auto idx = static_cast<std::size_t>(i);
            const bool isNew = i % 2 == 0;
            const Date d = isNew ? s.phases.newMoonDate[idx] : s.phases.fullMoonDate[idx];
            const std::string time =
                isNew ? s.phases.newMoonTime[idx].str() : s.phases.fullMoonTime[idx].str();
            if (json_) {
                entries.push_back(Json{{"index", i},
                                       {"kind", isNew ? "new" : "full"},
                                       {"date", isoDate(d)},
                                       {"time", time}});
            } else {
                out << std::right << std::setw(2) << i << "  " << std::left << std::setw(9)
                    << (isNew ? "New Moon" : "Full Moon") << "  " << isoDate(d) << "  " << time
                    << '\n';
            }
        }
        if (json_) out << jsonText(Json{{"entries", entries}}, 2) << '\n';
        return 0;
    }

  private:
    Place place_;
    std::string year_;
    bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> definePhases(CLI::App& app) {
    return std::make_unique<PhasesCommand>(app);
}

}  // namespace moonbite::cli
