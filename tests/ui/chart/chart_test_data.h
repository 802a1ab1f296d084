// Sample rows for the chart suites: consecutive dates from 21 January with
// predictions cycling through every level, the way the main window feeds them.
#pragma once

#include <QString>
#include <array>

#include "chart_widget.h"

namespace moonbite::testdata {

inline constexpr std::array<int, 15> kLevels = {33,  66,  100, 66, 33, 0,  33, 66,
                                                100, 100, 66,  33, 0,  33, 66};

inline int levelAt(int row) {
    return kLevels[static_cast<std::size_t>((row - 1) % 15)];
}

inline QString dateLabel(int row) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int month = 1;
    int day = 20 + row;
    while (day > kDays[static_cast<std::size_t>(month - 1)]) {
        day -= kDays[static_cast<std::size_t>(month - 1)];
        month = month % 12 + 1;
    }
    return QStringLiteral("%1/%2").arg(month).arg(day);
}

inline void fill(ChartWidget& chart, int rows) {
    chart.setRowCount(rows);
    for (int r = 1; r <= rows; ++r) {
        chart.setRow(r);
        chart.setRowLabel(dateLabel(r));
        chart.setData(QString::number(levelAt(r)));
    }
}

}  // namespace moonbite::testdata
