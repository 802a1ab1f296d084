// The month page as a PDF file, read back with the poppler tools, and the
// documentation's picture of it.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sstream>
#include <string>

#include "calendar_pdf.h"
#include "cli_app.h"
#include "cli_module.h"
#include "page_log.h"

namespace moonbite {
namespace {

using testing::kAllOptions;
using testing::sydney;

struct ToolRun {
    bool found = false;
    int exitCode = -1;
    QString out;
};

ToolRun runTool(const QString& name, const QStringList& args) {
    ToolRun run;
    const QString program = QStandardPaths::findExecutable(name);
    if (program.isEmpty()) return run;
    run.found = true;
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000)) return run;
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    return run;
}

CalendarPageInput sydneyJanuary2000() {
    CalendarPageInput in;
    in.year = 2000;
    in.month = 1;
    in.options = kAllOptions;
    in.locationLine = calendarLocationLine(
        QStringLiteral("33"), QStringLiteral("52"), QStringLiteral("S"), QStringLiteral("151"),
        QStringLiteral("13"), QStringLiteral("E"), QStringLiteral("10"), QStringLiteral("AEST"));
    return in;
}

QByteArray head(const QString& path, int n) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.read(n);
}

TEST(CalendarPdf, DefaultFileNameNamesMonthAndYear) {
    EXPECT_EQ(defaultCalendarFileName(2027, 1), QStringLiteral("Moonbite January 2027.pdf"));
    // The file name has no leading blank before December.
    EXPECT_EQ(defaultCalendarFileName(2026, 12), QStringLiteral("Moonbite December 2026.pdf"));
}

TEST(CalendarPdf, OnePageOfTextAsPrinted) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("january.pdf"));
    SolunarState s = sydney();
    QString error;
    ASSERT_TRUE(writeCalendarPdf(s, sydneyJanuary2000(), path, &error)) << error.toStdString();
    EXPECT_EQ(head(path, 5), QByteArray("%PDF-"));
    // The page was drawn on the state given.
    EXPECT_EQ(s.startDateText, "31-1-2000");

    const ToolRun text = runTool(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!text.found) GTEST_SKIP() << "pdftotext is not installed";
    ASSERT_EQ(text.exitCode, 0);
    // pdftotext gives runs of blanks as one.
    const QString flat = text.out.simplified();
    for (const char* wanted :
         {"Moonbite Solunar Fishing Calendar", "January 2000", "Sun", "Sat", "New Moon", "04:12 AM",
          "Full Moon", "02:40 PM", "S  Rise: 05:05 AM  Set: 07:07 PM",
          "Maj: 11:32 PM Maj: 10:58 AM", "Location: Lat: 33. 52' S   Lon: 151. 13' E",
          "This document was created with Moonbite, available from https://moonbite.app",
          "Fishing Prediction Legend:", "Moonrise & Moonset"}) {
        EXPECT_TRUE(flat.contains(QString::fromLatin1(wanted).simplified())) << wanted;
    }
    // The title comes first, the footer near the end.
    EXPECT_LT(text.out.indexOf(QStringLiteral("Moonbite Solunar Fishing Calendar")),
              text.out.indexOf(QStringLiteral("January 2000")));
    EXPECT_LT(text.out.indexOf(QStringLiteral("January 2000")),
              text.out.indexOf(QStringLiteral("This document was created")));

    const ToolRun info = runTool(QStringLiteral("pdfinfo"), {path});
    if (!info.found) GTEST_SKIP() << "pdfinfo is not installed";
    ASSERT_EQ(info.exitCode, 0);
    EXPECT_TRUE(info.out.contains(QRegularExpression(QStringLiteral("(?m)^Pages:\\s+1$"))))
        << info.out.toStdString();
    const auto size = QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"))
                          .match(info.out);
    ASSERT_TRUE(size.hasMatch()) << info.out.toStdString();
    const double width = size.captured(1).toDouble();
    const double height = size.captured(2).toDouble();
    EXPECT_GT(width, height);                // landscape
    EXPECT_NEAR(width, 297 / 25.4 * 72, 2);  // A4
    EXPECT_NEAR(height, 210 / 25.4 * 72, 2);
}

TEST(CalendarPdf, NothingIsLeftWhenTheFileCannotBeWritten) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A folder that is a regular file.
    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = dir.filePath(QStringLiteral("file/out.pdf"));
    SolunarState s = sydney();
    QString error;
    EXPECT_FALSE(writeCalendarPdf(s, sydneyJanuary2000(), path, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("file")});
}

// ---------------------------------------------------------------------------
// What the page may be written over

bool isFifo(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}

TEST(CalendarPdfTarget, NewPathsAndRegularFilesAreFineOtherNodesAreNot) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(pdfTargetProblem(dir.filePath(QStringLiteral("new.pdf"))).isEmpty());
    QFile regular(dir.filePath(QStringLiteral("old.pdf")));
    ASSERT_TRUE(regular.open(QIODevice::WriteOnly));
    regular.close();
    EXPECT_TRUE(pdfTargetProblem(regular.fileName()).isEmpty());
    ASSERT_TRUE(QFile::link(regular.fileName(), dir.filePath(QStringLiteral("link.pdf"))));
    EXPECT_TRUE(pdfTargetProblem(dir.filePath(QStringLiteral("link.pdf"))).isEmpty());

    const QString fifo = dir.filePath(QStringLiteral("pipe.pdf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(pdfTargetProblem(fifo).contains(QStringLiteral("named pipe")));
    // A link is judged by what it points at.
    ASSERT_TRUE(QFile::link(fifo, dir.filePath(QStringLiteral("pipe-link.pdf"))));
    EXPECT_FALSE(pdfTargetProblem(dir.filePath(QStringLiteral("pipe-link.pdf"))).isEmpty());
    EXPECT_TRUE(pdfTargetProblem(dir.path()).contains(QStringLiteral("folder")));
    EXPECT_TRUE(pdfTargetProblem(QStringLiteral("/dev/null")).contains(QStringLiteral("device")));
}

// The save would open a pipe and wait for a reader, and its final rename
// would put a regular file in place of the pipe or folder (for root, even of a
// device node); the target is refused and left as it was.
TEST(CalendarPdfTarget, PipeIsRefusedAndLeftAsItIs) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath(QStringLiteral("calendar.pdf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    SolunarState s = sydney();
    QString error;
    EXPECT_FALSE(writeCalendarPdf(s, sydneyJanuary2000(), fifo, &error));
    EXPECT_TRUE(error.contains(fifo)) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("named pipe"))) << error.toStdString();
    EXPECT_TRUE(isFifo(fifo));
    // No temporary file left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("calendar.pdf")});
}

TEST(CalendarPdfTarget, FolderIsRefusedAndLeftEmpty) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("calendar.pdf"));
    ASSERT_TRUE(QDir().mkdir(folder));
    SolunarState s = sydney();
    QString error;
    EXPECT_FALSE(writeCalendarPdf(s, sydneyJanuary2000(), folder, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("folder"))) << error.toStdString();
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(QDir(folder).isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("calendar.pdf")});
}

TEST(CalendarPdfTarget, RegularFileIsReplacedByThePage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("calendar.pdf"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    SolunarState s = sydney();
    QString error;
    ASSERT_TRUE(writeCalendarPdf(s, sydneyJanuary2000(), path, &error)) << error.toStdString();
    EXPECT_EQ(head(path, 5), QByteArray("%PDF-"));
}

// The command-line tool writes through the same code, so it refuses too.
TEST(CalendarPdfTarget, ToolRefusesAPipe) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath(QStringLiteral("calendar.pdf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const std::string path = fifo.toStdString();
    const char* args[] = {"moonbite-cli", "month",      "--lat",  "33:52S",    "--lon",   "151:13E",
                          "--tz",         "10",         "--year", "2000",      "--month", "1",
                          "--options",    "prediction", "--pdf",  path.c_str()};
    std::ostringstream out;
    std::ostringstream err;
    const int status =
        cli::run(static_cast<int>(std::size(args)), args, out, err, *Date::fromYmd(2026, 12, 7));
    EXPECT_NE(status, 0);
    EXPECT_NE(err.str().find("named pipe"), std::string::npos) << err.str();
    EXPECT_TRUE(isFifo(fifo));
}

// The documentation's picture of the page: January 2000 at Sydney with every
// option. Into docs/screenshots when MOONBITE_SCREENSHOTS is set, a temporary
// folder otherwise.
TEST(CalendarScreenshot, January2000AtSydneyWithEveryOption) {
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString folder = qEnvironmentVariableIsEmpty("MOONBITE_SCREENSHOTS")
                               ? scratch.path()
                               : QStringLiteral(MOONBITE_SOURCE_DIR "/docs/screenshots");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString pdf = scratch.filePath(QStringLiteral("calendar.pdf"));
    SolunarState s = sydney();
    QString error;
    ASSERT_TRUE(writeCalendarPdf(s, sydneyJanuary2000(), pdf, &error)) << error.toStdString();

    const QString stem = QDir(folder).filePath(QStringLiteral("calendar-january-2000"));
    const QString png = stem + QStringLiteral(".png");
    QFile::remove(png);
    const ToolRun convert =
        runTool(QStringLiteral("pdftoppm"),
                {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("110"),
                 QStringLiteral("-singlefile"), pdf, stem});
    if (!convert.found) GTEST_SKIP() << "pdftoppm is not installed";
    ASSERT_EQ(convert.exitCode, 0);
    const QImage image(png);
    ASSERT_FALSE(image.isNull()) << png.toStdString();
    // A4 landscape at 110 dpi.
    EXPECT_NEAR(image.width(), 297 / 25.4 * 110, 2);
    EXPECT_NEAR(image.height(), 210 / 25.4 * 110, 2);
    // Something is printed on it, and the margins stay blank.
    int dark = 0;
    int darkInMargin = 0;
    const int margin = static_cast<int>(9 / 25.4 * 110);  // just inside the 10 mm margin
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) >= 128) continue;
            ++dark;
            if (x < margin || y < margin || x >= image.width() - margin ||
                y >= image.height() - margin)
                ++darkInMargin;
        }
    }
    EXPECT_GT(dark, 10000);
    EXPECT_EQ(darkInMargin, 0);
}

}  // namespace
}  // namespace moonbite
