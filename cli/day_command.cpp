// `moonbite-cli day`: the whole solunar day of a date, as the main window shows it.
#include <CLI/CLI.hpp>

#include "cli_app.h"
#include "cli_shared.h"
#include "cli_tides.h"
#include "command.h"

namespace moonbite::cli {
namespace {

class DayCommand final : public Command {
  public:
    explicit DayCommand(CLI::App& app) {
        CLI::App* day = app.add_subcommand(
            "day", "The whole solunar day of a date, as the main window shows it");
        addPlaceOptions(day, place_, true);
        day->add_option("--date", date_, "Date as YYYY-MM-DD (1901..2200); default today");
        day->add_option("--graph-days", graphDays_, "Days in the prediction graph, 2..60")
            ->default_str("15");
        day->add_flag("--reverse-moon", reverseMoon_, "Use the reversed Moon picture set");
        day->add_flag("--day-first", dayFirst_, "Graph labels day/month instead of month/day");
        day->add_flag("--json", json_, "Write JSON");
    }

    int run(Date today, std::ostream& out, std::ostream&) override {
        validatePlace(place_, true, today);
        const int graphDays = requireWhole(graphDays_, "--graph-days", 2, 60);
        const Date date = date_.empty() ? today : requireDate(date_, "--date");
        if (date.year() < 1901 || date.year() > 2200)
            throw InputError("today lies outside 1901..2200");
        SolunarState s = makeState(place_, today);
        s.reverseMoonImage = !reverseMoon_;
        s.dateOrderMonthFirst = !dayFirst_;
        computeDay(s, date, graphDays);
        if (json_) {
            Json j = dayJson(s, date, true);
            const bool fromSettings = place_.latText.empty() && place_.lonText.empty() &&
                                      place_.placeName.empty();
            if (std::optional<Json> t = dayTidesJson(s, date, storedTideStation(place_, fromSettings)))
                j["tides"] = std::move(*t);
            out << jsonText(j, 2) << '\n';
        } else
            printDayText(out, s, place_);
        return 0;
    }

  private:
    Place place_;
    std::string date_;
    std::string graphDays_ = "15";
    bool reverseMoon_ = false;
    bool dayFirst_ = false;
    bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> defineDay(CLI::App& app) {
    return std::make_unique<DayCommand>(app);
}

}  // namespace moonbite::cli
