// `moonbite-cli range`: consecutive days, for spreadsheets and scripts.
#include <CLI/CLI.hpp>
#include <iomanip>

#include "cli_app.h"
#include "cli_shared.h"
#include "command.h"

namespace moonbite::cli {
namespace {

class RangeCommand final : public Command {
  public:
    explicit RangeCommand(CLI::App& app) {
        CLI::App* range =
            app.add_subcommand("range", "Consecutive days, for spreadsheets and scripts");
        addPlaceOptions(range, place_, true);
        range->add_option("--from", from_, "First date as YYYY-MM-DD")->required();
        range->add_option("--days", days_, "Number of days, 1..3660")->required();
        auto* json = range->add_flag("--json", json_, "Write JSON lines");
        auto* csv = range->add_flag("--csv", csv_, "Write CSV with a header row");
        json->excludes(csv);
    }

    int run(Date today, std::ostream& out, std::ostream&) override {
        validatePlace(place_, true, today);
        const Date from = requireDate(from_, "--from");
        const int days = requireWhole(days_, "--days", 1, 3660);
        if ((from + (days - 1)).year() > 2200) throw InputError("the range runs past 2200-12-31");
        const SolunarState fresh = makeState(place_, today);
        const auto& columns = rangeColumns();
        if (csv_) {
            for (std::size_t i = 0; i < columns.size(); ++i)
                out << (i ? "," : "") << columns[i];
            out << "\r\n";
        }
        for (int i = 0; i < days && out; ++i) {
            // Each day on a fresh state, so that it reads exactly as `day` gives it.
            SolunarState s = fresh;
            const Date date = from + i;
            computeDay(s, date, 0);
            const Json j = dayJson(s, date, false);
            if (csv_) {
                for (std::size_t c = 0; c < columns.size(); ++c)
                    out << (c ? "," : "") << csvField(j[columns[c]]);
                out << "\r\n";
            } else if (json_) {
                out << jsonText(j, -1) << '\n';
            } else {
                out << j["date"].get<std::string>() << "  " << std::left << std::setw(9)
                    << s.Label10.str() << "  sun " << s.Text2.str() << " - " << s.Text32.str()
                    << "  moon " << s.Text21.str() << " - " << s.Text39.str() << "  age "
                    << std::right << std::setw(2) << s.moonAge << "  " << s.predictionWord.str()
                    << '\n';
            }
        }
        return 0;
    }

  private:
    Place place_;
    std::string from_;
    std::string days_;
    bool json_ = false;
    bool csv_ = false;
};

}  // namespace

std::unique_ptr<Command> defineRange(CLI::App& app) {
    return std::make_unique<RangeCommand>(app);
}

}  // namespace moonbite::cli
