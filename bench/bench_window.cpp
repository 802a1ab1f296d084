// Speed and memory of the main window, on the offscreen platform.
//   build/bench/moonbite_window_bench --benchmark_repetitions=5
//   --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <fstream>
#include <memory>
#include <string>

#include "calendar_pdf.h"
#include "chart_widget.h"
#include "journal_file.h"
#include "journal_window.h"
#include "main_window.h"
#include "message_boxes.h"
#include "settings_store.h"
#include "system_time_zone.h"
#include "updown.h"

namespace moonbite {
namespace {

// A store with Sydney (or Friday Harbor, where there are tides) as the current
// location, so the window starts without the first-run message.
struct Setup {
    QTemporaryDir folder;
    SettingsStore store{folder.path()};
    RecordingMessageBoxes boxes;
    FixedTimeZoneSource zone{
        TimeZoneInfo{1, -600, QStringLiteral("AEST"), QStringLiteral("AEDT"), 0, -60}};

    explicit Setup(bool harbor = false) {
        const QString s = QStringLiteral("Settings");
        if (harbor) {
            for (const auto& [key, value] : {std::pair{"currentloc", "Friday Harbor"},
                                             {"latdeg", "48"},
                                             {"latmin", "33"},
                                             {"NorS", "N"},
                                             {"londeg", "123"},
                                             {"lonmin", "1"},
                                             {"WorE", "W"},
                                             {"gmt", "-7"},
                                             {"custom", "True"},
                                             {"tzname", "America/Los_Angeles"}}) {
                store.save(kStateApp, s, QString::fromLatin1(key), QString::fromLatin1(value));
            }
            return;
        }
        for (const auto& [key, value] : {std::pair{"currentloc", "Sydney"},
                                         {"latdeg", "33"},
                                         {"latmin", "52"},
                                         {"NorS", "S"},
                                         {"londeg", "151"},
                                         {"lonmin", "13"},
                                         {"WorE", "E"},
                                         {"gmt", "10"}}) {
            store.save(kStateApp, s, QString::fromLatin1(key), QString::fromLatin1(value));
        }
    }
    MainWindowServices services() {
        MainWindowServices sv;
        sv.store = &store;
        sv.boxes = &boxes;
        sv.timeZone = &zone;
        sv.today = [] { return QDate(2027, 1, 20); };
        sv.chooseColour = [](const QColor&, QWidget*) { return QColor(); };
        // As the program starts: the harmonics file read once the window is up.
        sv.tides = std::make_shared<tides::TideSource>();
        return sv;
    }
};

std::unique_ptr<Form1> startWindow(Setup& setup) {
    auto w = std::make_unique<Form1>(setup.services());
    w->Form_Load();
    w->show();
    QApplication::processEvents();
    w->MSChart1->updateNow();
    return w;
}

double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

// Runs first, in a fresh process: the memory a user's started window takes.
void BM_ResidentMemoryAfterStartUp(benchmark::State& state) {
    Setup setup;
    std::unique_ptr<Form1> w;
    for (auto _ : state)
        w = startWindow(setup);
    state.counters["resident_MB"] = residentMegabytes();
}
BENCHMARK(BM_ResidentMemoryAfterStartUp)->Iterations(1)->Unit(benchmark::kMillisecond);

// From creating the window to the shown window with every box and the chart
// filled, and the harmonics file read for the Tides frame just after.
void BM_StartUp(benchmark::State& state) {
    Setup setup;
    for (auto _ : state) {
        auto w = startWindow(setup);
        benchmark::DoNotOptimize(w.get());
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);

// A click on the day spinner until every box and the chart show the new day;
// at a harbour the day's tides and their curve in the day at a glance too.
void dateChanges(benchmark::State& state, bool harbor) {
    Setup setup(harbor);
    auto w = startWindow(setup);
    for (auto _ : state) {
        w->UpDown1->clickUp();
        w->MSChart1->updateNow();
        QApplication::processEvents();
        benchmark::DoNotOptimize(w->Text4->text());
    }
}
void BM_DateChange(benchmark::State& state) { dateChanges(state, false); }
BENCHMARK(BM_DateChange)->Unit(benchmark::kMillisecond);
void BM_DateChangeWithTides(benchmark::State& state) { dateChanges(state, true); }
BENCHMARK(BM_DateChangeWithTides)->Unit(benchmark::kMillisecond);

// One month page with every option, from the click to the finished PDF.
void BM_MonthPagePdf(benchmark::State& state) {
    Setup setup;
    QTemporaryDir out;
    SolunarState s;
    s.latitude = -(33 + 52 / 60.0);
    s.longitude = 151 + 13 / 60.0;
    s.timeZoneEntered = "10";
    s.timeZoneForComputations = "-10";
    CalendarPageInput in;
    in.year = 2000;
    in.month = 1;
    in.locationLine = calendarLocationLine(
        QStringLiteral("33"), QStringLiteral("52"), QStringLiteral("S"), QStringLiteral("151"),
        QStringLiteral("13"), QStringLiteral("E"), QStringLiteral("10"), QStringLiteral("Custom"));
    const QString path = out.filePath(QStringLiteral("month.pdf"));
    for (auto _ : state) {
        QString error;
        if (!writeCalendarPdf(s, in, path, &error)) state.SkipWithError("cannot write the PDF");
    }
}
BENCHMARK(BM_MonthPagePdf)->Unit(benchmark::kMillisecond);

// The journal opened on entry 1 of 1,000, then Next through all of them;
// the time per entry shown.
void BM_JournalOpenAndNextThrough1000(benchmark::State& state) {
    Setup setup;
    QTemporaryDir folder;
    for (int n = 1; n <= 1000; ++n) {
        JournalEntry e;
        e.day = QString::number(n % 28 + 1);
        e.month = QString::number(n % 12 + 1);
        e.year = QString::number(1990 + n % 30);
        e.notes =
            QStringLiteral("Trip %1: bream and flathead on the run-in tide,\nsoft plastics").arg(n);
        e.wind = QStringLiteral("North East");
        e.catchRating = QStringLiteral("Good");
        QString error;
        writeJournalEntry(folder.path(), n, e, &error);
    }
    SolunarState s;
    s.timeZoneEntered = "10";
    s.timeZoneForComputations = "-10";
    JournalServices services;
    services.state = &s;
    services.boxes = &setup.boxes;
    services.folder = folder.path();
    services.today = [] { return QDate(2027, 1, 20); };
    for (auto _ : state) {
        Form3 journal(services);
        for (int n = 2; n <= 1000; ++n)
            journal.Command5->click();
        benchmark::DoNotOptimize(journal.Text8->text());
    }
    // Per entry: the time shown divided by 1,000 (items_per_second inverted).
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_JournalOpenAndNextThrough1000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace moonbite

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
