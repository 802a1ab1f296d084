// `moonbite-cli month`: every day of a month as the printed calendar shows
// it, as text, JSON or the page itself as a PDF.
#include <CLI/CLI.hpp>

#include "cli_app.h"
#include "cli_shared.h"
#include "command.h"
#include "qt_commands.h"

namespace moonbite::cli {
namespace {

class MonthCommand final : public Command {
  public:
    explicit MonthCommand(CLI::App& app) {
        CLI::App* month =
            app.add_subcommand("month", "Every day of a month as the printed calendar shows it");
        addPlaceOptions(month, place_, true);
        month->add_option("--year", year_, "Year, 1901..2200")->required();
        month->add_option("--month", month_, "Month, 1..12")->required();
        auto* json = month->add_flag("--json", json_, "Write JSON");
        pdf_ = month->add_option("--pdf", pdfPath_,
                                 "Write the printed calendar page to this PDF file");
        pdf_->excludes(json);
        options_ = month->add_option(
            "--options", optionList_,
            "What the cells show, a comma-separated list of prediction, newfull, sunrise, "
            "moonrise, majorminor (\"\" for none; default: everything, or with --pdf as last "
            "printed in Moonbite)");
    }

    int run(Date today, std::ostream& out, std::ostream& err) override {
        validatePlace(place_, true, today);
        const int year = requireWhole(year_, "--year", 1901, 2200);
        const int month = requireWhole(month_, "--month", 1, 12);
        if (pdf_->count() > 0 && pdfPath_.empty())
            throw InputError("--pdf needs the name of the file to write");
        MonthCellOptions options;  // the text and JSON show everything unless told
        if (options_->count() > 0)
            options = calendarOptions(optionList_);
        else if (!pdfPath_.empty())
            options = storedCalendarOptions(place_.settingsDir);
        if (!pdfPath_.empty()) return writePdf(year, month, options, today, out, err);

        SolunarState s = makeState(place_, today);
        std::vector<MonthCell> cells(static_cast<std::size_t>(daysInMonth(year, month)));
        for (std::size_t i = 0; i < cells.size(); ++i)
            calcdata(s, year, month, static_cast<int>(i) + 1, options, cells[i]);
        const int firstWeekday = Date::fromYmd(year, month, 1)->weekday();
        if (json_)
            out << jsonText(monthJson(year, month, firstWeekday, cells), 2) << '\n';
        else
            printMonthText(out, year, month, place_, cells);
        return 0;
    }

  private:
    int writePdf(int year, int month, const MonthCellOptions& options, Date today,
                 std::ostream& out, std::ostream& err) {
        checkOutputTarget(pdfPath_);
        checkOutputFolder(pdfPath_);
        MonthPdfRequest request;
        request.latitude = place_.lat;
        request.longitude = place_.lon;
        request.zone = place_.tz;
        request.zoneName = zoneNameFor(place_);
        request.year = year;
        request.month = month;
        request.options = options;
        request.path = pdfPath_;
        request.today = today;
        const CommandResult r = qtCommands().writeMonthPdf(request);
        if (r.status != 0) return failure(err, r.message, r.status);
        out << "wrote " << pdfPath_ << '\n';
        return 0;
    }

    Place place_;
    std::string year_;
    std::string month_;
    bool json_ = false;
    std::string pdfPath_;
    std::string optionList_;
    CLI::Option* pdf_ = nullptr;
    CLI::Option* options_ = nullptr;
};

}  // namespace

std::unique_ptr<Command> defineMonth(CLI::App& app) {
    return std::make_unique<MonthCommand>(app);
}

}  // namespace moonbite::cli
