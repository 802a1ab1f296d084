// `moonbite-cli places QUERY`: towns of the list of places that match a name,
// with the coordinates and zone in the forms --lat, --lon and --tz-name take.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <iomanip>

#include "cli_app.h"
#include "cli_shared.h"
#include "command.h"

namespace moonbite::cli {
namespace {

class PlacesCommand final : public Command {
  public:
    explicit PlacesCommand(CLI::App& app) {
        CLI::App* cmd = app.add_subcommand(
            "places",
            "Towns of the list of places matching a name (\"key west\", \"westport wa\")");
        cmd->add_option("query", query_,
                        "A town's name, or the start of it; a region or "
                        "country may follow")
            ->required();
        cmd->add_option("--limit", limit_, "At most this many towns, 1..1000 (default 20)");
        cmd->add_flag("--json", json_, "Write JSON");
    }

    int run(Date, std::ostream& out, std::ostream& err) override {
        const int limit = limit_.empty() ? 20 : requireWhole(limit_, "--limit", 1, 1000);
        const places::Gazetteer& list = placeList();
        const std::vector<std::size_t> hits = list.search(query_, static_cast<std::size_t>(limit));
        if (json_) {
            Json towns = Json::array();
            for (std::size_t i : hits)
                towns.push_back(townJson(list, list.place(i)));
            out << jsonText(Json{{"places", towns}}, 2) << '\n';
        } else {
            printTable(out, list, hits);
        }
        if (!hits.empty()) return 0;
        // Like grep: nothing found is status 1, with what is near.
        return failure(
            err, "no place in the list matches \"" + shown(query_) + "\"" + nearNames(list, query_),
            kFailure);
    }

  private:
    static Json townJson(const places::Gazetteer& list, const places::PlaceRecord& town) {
        return Json{{"name", std::string(town.name)},
                    {"ascii_name", std::string(town.asciiName)},
                    {"region", std::string(list.regionName(town))},
                    {"region_code", std::string(town.regionCode)},
                    {"country", std::string(list.countryName(town))},
                    {"country_code", std::string(town.country)},
                    {"lat", places::minutesText(town.latitude, true)},
                    {"lon", places::minutesText(town.longitude, false)},
                    {"latitude", town.latitude},
                    {"longitude", town.longitude},
                    {"tz_name", std::string(town.zone)},
                    {"population", town.population}};
    }

    static void printTable(std::ostream& out, const places::Gazetteer& list,
                           const std::vector<std::size_t>& hits) {
        std::vector<std::string> labels;
        std::size_t width = 0;
        for (std::size_t i : hits) {
            labels.push_back(placeLabel(list, list.place(i)));
            width = std::max(width, displayWidth(labels.back()));
        }
        for (std::size_t k = 0; k < hits.size(); ++k) {
            const places::PlaceRecord& town = list.place(hits[k]);
            out << labels[k] << std::string(width - displayWidth(labels[k]) + 2, ' ') << std::left
                << std::setw(7) << places::minutesText(town.latitude, true) << ' ' << std::setw(8)
                << places::minutesText(town.longitude, false) << "  " << std::setw(30) << town.zone
                << ' ' << std::right << std::setw(9) << town.population << '\n';
        }
    }

    // Characters, not bytes, so names with accents line up.
    static std::size_t displayWidth(const std::string& text) {
        return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }));
    }

    std::string query_;
    std::string limit_;
    bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> definePlaces(CLI::App& app) {
    return std::make_unique<PlacesCommand>(app);
}

}  // namespace moonbite::cli
