// The module of moonbite-cli that needs Qt: the month page as a PDF and the
// fishing journal's listing. The tool opens it only for those commands.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <memory>
#include <new>
#include <ostream>
#include <sstream>
#include <string_view>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include "calendar_pdf.h"
#include "cli_app.h"
#include "cli_common.h"
#include "current_place.h"
#include "journal_file.h"
#include "qt_commands.h"

#include <sstream>
#include "zone_rules.h"

namespace moonbite::cli {
namespace {

// The zone a request follows by date, or none.
std::unique_ptr<QtZoneRule> ruleFor(const std::string& name) {
    if (name.empty()) return nullptr;
    if (name == kComputerZone) return std::make_unique<QtZoneRule>(QTimeZone::systemTimeZone());
    // Checked before Qt looks: a path there (a named pipe) would be opened.
    if (!isZoneDatabaseName(name)) throw InputError("unknown time zone \"" + shown(name) + "\"");
    const QTimeZone zone(QByteArray::fromStdString(name));
    if (!zone.isValid()) throw InputError("unknown time zone \"" + shown(name) + "\"");
    return std::make_unique<QtZoneRule>(zone);
}

// Qt wants a private runtime folder; without XDG_RUNTIME_DIR it warns on
// stderr and makes /tmp/runtime-<user>. A folder of the process's own, removed
// afterwards, keeps it quiet and leaves nothing behind.
class RuntimeFolder {
  public:
    RuntimeFolder() {
        if (std::getenv("XDG_RUNTIME_DIR") != nullptr) return;
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/moonbite-cli-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) return;
        path_ = pattern;
        setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
    }
    ~RuntimeFolder() {
        if (path_.empty()) return;
        unsetenv("XDG_RUNTIME_DIR");
        QDir(QString::fromLocal8Bit(path_.c_str())).removeRecursively();
    }
    RuntimeFolder(const RuntimeFolder&) = delete;
    RuntimeFolder& operator=(const RuntimeFolder&) = delete;

  private:
    std::string path_;
};

// Degrees and whole minutes with the hemisphere letter, as the settings hold them.
void splitCoordinate(double v, QString& deg, QString& min, QString& letter, char pos, char neg) {
    const double a = std::fabs(v);
    int d = static_cast<int>(a);
    int m = static_cast<int>(std::lround((a - d) * 60));
    if (m == 60) {
        ++d;
        m = 0;
    }
    deg = QString::number(d);
    min = QString::number(m);
    letter = QString(QLatin1Char(v < 0 ? neg : pos));
}

void writePdf(const MonthPdfRequest& r) {
    // The page's fonts need a GUI application; the offscreen platform needs no
    // display. The arguments live as long as the application (Qt removes the
    // ones it reads, so they are made afresh for every page).
    int argc = 3;
    char arg0[] = "moonbite-cli";
    char arg1[] = "-platform";
    char arg2[] = "offscreen";
    char* argv[] = {arg0, arg1, arg2, nullptr};
    const RuntimeFolder runtime;
    std::unique_ptr<QGuiApplication> app;
    if (QCoreApplication::instance() == nullptr)
        app = std::make_unique<QGuiApplication>(argc, argv);

    CalendarPageInput in;
    in.year = r.year;
    in.month = r.month;
    in.options = r.options;
    QString latdeg, latmin, NorS, londeg, lonmin, WorE;
    splitCoordinate(r.latitude, latdeg, latmin, NorS, 'N', 'S');
    splitCoordinate(r.longitude, londeg, lonmin, WorE, 'E', 'W');
    Text zone;
    numberText(zone, r.zone);
    SolunarState s = stateFor(r.latitude, r.longitude, r.zone, r.today);
    const auto rule = ruleFor(r.zoneName);
    s.zoneRule = rule.get();
    in.locationLine = calendarLocationLine(
        latdeg, latmin, NorS, londeg, lonmin, WorE,
        monthZoneText(s, r.year, r.month, QString::fromUtf8(zone.c_str())), QString());
    QString error;
    if (!writeCalendarPdf(s, in, QString::fromStdString(r.path), &error)) {
        throw WriteError("cannot write " + shown(r.path) + ": " + shown(error.toStdString()));
    }
}

// The folder of the executable, where a portable install keeps its journal.
QString executableFolder() {
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    buf[n] = '\0';
    return QFileInfo(QString::fromLocal8Bit(buf)).absolutePath();
}

// A folder that is missing, not a folder or unreadable is an error, not an
// empty journal.
void requireJournalFolder(const QString& folder, bool isDefault) {
    const QByteArray path = QFile::encodeName(folder);
    const std::string name = shown(folder.toStdString());
    struct stat st {};
    if (stat(path.constData(), &st) != 0) {
        const int e = errno;
        if (e == ENOENT) {
            throw InputError(isDefault ? "there is no journal yet: " + name + " does not exist"
                                       : "the journal folder " + name + " does not exist");
        }
        throw InputError("cannot read the journal folder " + name + ": " + std::strerror(e));
    }
    if (!S_ISDIR(st.st_mode)) throw InputError("the journal folder " + name + " is not a folder");
    DIR* dir = opendir(path.constData());
    if (dir == nullptr) {
        const int e = errno;
        throw InputError("cannot read the journal folder " + name + ": " + std::strerror(e));
    }
    closedir(dir);
}

void listJournal(const JournalRequest& request, std::ostream& out) {
    const std::string& folderOption = request.folder;
    const bool asJson = request.json;
    const bool asCsv = request.csv;
    const QString folder = folderOption.empty() ? journalFolder(executableFolder())
                                                : QString::fromStdString(folderOption);
    requireJournalFolder(folder, folderOption.empty());
    SolunarState s = stateFor(0, 0, request.zone, request.today);
    const auto rule = ruleFor(request.zoneName);
    s.zoneRule = rule.get();
    static const std::vector<std::string> kColumns = {
        "entry",         "status",         "day",
        "month",         "year",           "notes",
        "temperature",   "trip_time",      "tide_type",
        "wind_strength", "quantity",       "wind",
        "tide",          "predicted_tide", "catch",
        "gps1",          "gps2",           "best_time",
        "moon_age",      "phase_picture",  "prediction_word",
        "phase_event",   "error"};
    Json all = Json::array();
    if (asCsv) {
        for (std::size_t i = 0; i < kColumns.size(); ++i)
            out << (i ? "," : "") << kColumns[i];
        out << "\r\n";
    }
    for (const int number : journalEntryNumbers(folder)) {
        if (!out) break;  // the output has failed; the end of run says so
        const JournalReadResult r = readJournalEntry(folder, number);
        Json j;
        j["entry"] = number;
        j["status"] = r.status == JournalReadStatus::Ok ? "ok" : "broken";
        const JournalEntry& e = r.entry;
        const std::pair<const char*, const QString*> fields[] = {{"day", &e.day},
                                                                 {"month", &e.month},
                                                                 {"year", &e.year},
                                                                 {"notes", &e.notes},
                                                                 {"temperature", &e.temperature},
                                                                 {"trip_time", &e.tripTime},
                                                                 {"tide_type", &e.tideType},
                                                                 {"wind_strength", &e.windStrength},
                                                                 {"quantity", &e.quantity},
                                                                 {"wind", &e.wind},
                                                                 {"tide", &e.tide},
                                                                 {"catch", &e.catchRating},
                                                                 {"gps1", &e.gps1},
                                                                 {"gps2", &e.gps2},
                                                                 {"best_time", &e.bestTime}};
        for (const auto& [key, value] : fields) {
            j[key] = value->toStdString();
            // Beside the tide the user wrote down, the one predicted for the day.
            if (std::string_view(key) == "tide") j["predicted_tide"] = "";
        }
        j["moon_age"] = nullptr;
        j["phase_picture"] = nullptr;
        j["prediction_word"] = "";
        j["phase_event"] = "";
        j["error"] = r.error.toStdString();
        const auto date = Date::fromYmd(e.year.toInt(), e.month.toInt(), e.day.toInt());
        if (r.status == JournalReadStatus::Ok && date && date->year() >= 1901 &&
            date->year() <= 2200) {
            s.computationDate = *date;
            useZoneOf(s, *date);  // the trip's own clock
            s.journalRequest = true;
            calcmoon(s);
            s.journalRequest = false;
            j["moon_age"] = s.moonAge;
            j["phase_picture"] = s.moonPicture;
            j["prediction_word"] = s.predictionWord.str();
            j["phase_event"] = s.Form3Label14.visible ? s.Form3Label14.caption.str() : "";
            if (request.tidesOn != nullptr) {
                std::string tides;
                request.tidesOn(request.tidesContext, *date, tides);
                j["predicted_tide"] = std::move(tides);
            }
        }
        if (asCsv) {
            for (std::size_t c = 0; c < kColumns.size(); ++c) {
                out << (c ? "," : "") << (j[kColumns[c]].is_null() ? "" : csvField(j[kColumns[c]]));
            }
            out << "\r\n";
        } else if (asJson) {
            all.push_back(std::move(j));
        } else {
            out << std::right << std::setw(5) << number << "  ";
            if (r.status != JournalReadStatus::Ok) {
                out << "cannot be read: " << shown(r.error.toStdString()) << '\n';
                continue;
            }
            out << std::left << std::setw(12)
                << (e.day + QLatin1Char('/') + e.month + QLatin1Char('/') + e.year).toStdString();
            if (j["moon_age"].is_null()) {
                out << "(no valid trip date)";
            } else {
                out << "age " << std::right << std::setw(2) << j["moon_age"].get<int>() << "  "
                    << std::left << std::setw(10) << j["prediction_word"].get<std::string>() << ' '
                    << std::setw(20) << j["phase_event"].get<std::string>();
            }
            out << "  " << e.catchRating.toStdString() << "  " << e.quantity.toStdString()
                << " fish  " << e.gps1.toStdString() << '\n';
        }
    }
    if (asJson)
        out << jsonText(Json{{"folder", folder.toStdString()}, {"entries", all}}, 2) << '\n';
}

// Runs a command so that nothing thrown leaves the module.
template <typename F>
CommandResult guarded(F&& command) {
    try {
        command();
        return {};
    } catch (const InputError& e) {
        return {kUsageError, e.what()};
    } catch (const WriteError& e) {
        return {kFailure, e.what()};
    } catch (const std::bad_alloc&) {
        return {kFailure, "out of memory"};
    } catch (const std::exception& e) {
        return {kFailure, "internal error: " + shown(e.what())};
    } catch (...) {
        return {kFailure, "internal error of an unknown kind"};
    }
}

CommandResult writeMonthPdfCommand(const MonthPdfRequest& request) {
    return guarded([&] { writePdf(request); });
}

CommandResult listJournalCommand(const JournalRequest& request, std::string& out) {
    return guarded([&] {
        std::ostringstream text;
        listJournal(request, text);
        out = std::move(text).str();
    });
}

const QtCommands kCommands{kQtCommandsAbi, &writeMonthPdfCommand, &listJournalCommand};

}  // namespace
}  // namespace moonbite::cli

extern "C" __attribute__((visibility("default"))) const moonbite::cli::QtCommands*
moonbite_cli_qt_commands() {
    return &moonbite::cli::kCommands;
}
