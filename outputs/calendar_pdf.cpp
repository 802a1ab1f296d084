#include "calendar_pdf.h"

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

bool writeCalendarPdf(SolunarState& s, const CalendarPageInput& in, const QString& path,
                      QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error != nullptr) *error = file.errorString();
        return false;
    }
    {
        constexpr int kDpi = 600;
        QPdfWriter writer(&file);
        writer.setResolution(kDpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("Moonbite Solunar Fishing Calendar"));
        writer.setCreator(QStringLiteral("Moonbite"));
        const QRectF printable(QPointF(0, 0), writer.pageLayout().paintRectPixels(kDpi).size());
        renderCalendarPage(s, in, writer, printable, kDpi);
    }
    if (!file.commit()) {
        if (error != nullptr) *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace moonbite
