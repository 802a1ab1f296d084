#include "calendar_pdf.h"

#include <sys/stat.h>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

namespace moonbite {

QString defaultCalendarFileName(int year, int month) {
    const std::string_view name = englishMonthName(month);
    return QStringLiteral("Moonbite %1 %2.pdf")
        .arg(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())))
        .arg(year);
}

QString pdfTargetProblem(const QString& path) {
    if (path.isEmpty()) return QStringLiteral("No file name was given.");
    struct stat info {};
    // stat follows links, as the save does; nothing there (or a dangling
    // link) is a new file.
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return {};
    const mode_t type = info.st_mode & S_IFMT;
    if (type == S_IFREG) return {};
    const char* what = "not a regular file";
    switch (type) {
        case S_IFDIR:
            what = "a folder";
            break;
        case S_IFCHR:
        case S_IFBLK:
            what = "a device";
            break;
        case S_IFIFO:
            what = "a named pipe";
            break;
        case S_IFSOCK:
            what = "a socket";
            break;
        default:
            break;
    }
    return QStringLiteral(
               "%1 is %2; the calendar is saved only as a new file or over an "
               "existing regular file.")
        .arg(QDir::toNativeSeparators(path), QLatin1String(what));
}

bool writeCalendarPdf(SolunarState& s, const CalendarPageInput& in, const QString& path,
                      QString* error) {
    // Checked before anything is opened: opening a pipe for writing would wait
    // for a reader, and the save's final rename would replace the node.
    if (const QString problem = pdfTargetProblem(path); !problem.isEmpty()) {
        if (error != nullptr) *error = problem;
        return false;
    }
    // The page is made in memory and written in one call whose result is
    // checked: the PDF writer ignores failed writes, and a page cut short by
    // a full disk or a file size limit would otherwise be saved as done.
    QByteArray page;
    {
        QBuffer buffer(&page);
        buffer.open(QIODevice::WriteOnly);
        constexpr int kDpi = 600;
        QPdfWriter writer(&buffer);
        writer.setResolution(kDpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("Moonbite Solunar Fishing Calendar"));
        writer.setCreator(QStringLiteral("Moonbite"));
        const QRectF printable(QPointF(0, 0), writer.pageLayout().paintRectPixels(kDpi).size());
        renderCalendarPage(s, in, writer, printable, kDpi);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error != nullptr) *error = file.errorString();
        return false;
    }
    if (file.write(page) != page.size() || !file.flush()) {
        if (error != nullptr) *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error != nullptr) *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace moonbite
