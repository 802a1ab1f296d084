// Form1's tides: the Tides frame and the day at a glance for the displayed
// day, and the station each place's tides come from.
#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "day_glance.h"
#include "main_window.h"
#include "message_boxes.h"
#include "settings_store.h"
#include "tide_station_dialog.h"

namespace moonbite {
namespace {

QString fromStd(const std::string& s) { return QString::fromStdString(s); }

/// "Mean Lower Low Water" is "MLLW" where a line has no room for it.
QString datumShort(const std::string& datum) {
    QString initials;
    for (const QString& word : fromStd(datum).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        initials += word.front().toUpper();
    return initials.size() >= 2 ? initials : fromStd(datum);
}

}  // namespace

const tides::TideDatabase* Form1::tideDatabase() {
    // The file is read after the window is first shown, never on the way there.
    if (!tidesReady_ || !services_.tides) return nullptr;
    return services_.tides->database();
}

tides::StationChoice Form1::tideStation() {
    const tides::TideDatabase* db = tideDatabase();
    if (db == nullptr || !placeChosen_) return {};
    return tides::chooseStation(*db, state_.latitude, state_.longitude, tideStation_.toStdString());
}

QString Form1::noTidesReason() {
    if (!services_.tides) return tr("Tides are not offered.");
    if (!tidesReady_) return QString();
    if (tideDatabase() == nullptr) return fromStd(services_.tides->problem());
    if (!placeChosen_) return tr("Choose your place to see its tides.");
    const tides::StationChoice c = tideStation();
    if (c.index >= 0) return QString();
    if (c.picked) return tr("No tides for this place (Station... picks one).");
    return tr("No tide station near this place (none within %1 km).")
        .arg(static_cast<int>(tides::kStationReachKm));
}

std::function<tides::DayTides(const SolunarState&, Date)> Form1::tidesOfPlace() {
    const tides::TideDatabase* db = tideDatabase();
    const tides::StationChoice c = tideStation();
    if (db == nullptr || c.index < 0) return {};
    const auto index = static_cast<std::size_t>(c.index);
    return [db, index](const SolunarState& s, Date date) {
        return tides::dayTides(*db, db->stations[index], s, date);
    };
}

QString Form1::tideLine() {
    const tides::TideDatabase* db = tideDatabase();
    const tides::StationChoice c = tideStation();
    if (db == nullptr || c.index < 0) return QString();
    const tides::TideStation& s = db->stations[static_cast<std::size_t>(c.index)];
    return tr("Tides: %1, heights in metres above %2. %3")
        .arg(fromStd(s.name), fromStd(s.datum), fromStd(tides::honestyLine(*db)));
}

void Form1::showTides() {
    const std::optional<Date> date =
        Date::fromYmd(static_cast<int>(Val(state_.Text10)), state_.Combo1 + 1,
                      static_cast<int>(Val(state_.Text1)));
    const tides::TideDatabase* db = tideDatabase();
    const tides::StationChoice c = tideStation();
    LabelTideNow->clear();
    CommandTideStation->setEnabled(db != nullptr && placeChosen_);
    if (!placeChosen_ || !date) {
        LabelTideStation->setText(noTidesReason());
        LabelTideEvents->clear();
        FrameTides->setToolTip(QString());
        PictureDay->clear();
        return;
    }
    if (db == nullptr || c.index < 0) {
        LabelTideStation->setText(noTidesReason());
        LabelTideEvents->clear();
        FrameTides->setToolTip(QString());
        PictureDay->setDay(state_, *date, nullptr, QString());
        return;
    }
    const tides::TideStation& s = db->stations[static_cast<std::size_t>(c.index)];
    const tides::DayTides day = tides::dayTides(*db, s, state_, *date);
    LabelTideStation->setText(fromStd(s.name));
    // One line in the frame's width: the full datum is in the tip.
    QStringList lines{tr("%1 away \u00b7 m above %2")
                          .arg(fromStd(tides::distanceText(c.distanceKm)), datumShort(s.datum))};
    for (std::size_t i = 0; i < day.events.size(); ++i)
        lines << fromStd(tides::eventText(day.events[i], day.minutes[i], state_.designators));
    if (day.curve.empty()) lines << tr("This day is beyond the harmonics file's years.");
    else if (day.events.empty()) lines << tr("No high or low water this day.");
    LabelTideEvents->setText(lines.join(QLatin1Char('\n')));
    QString tip = tr("%1 (%2NOAA %3), %4 from the place. Heights in metres above %5.")
                      .arg(fromStd(s.name), s.reference ? QString() : tr("subordinate station, "),
                           fromStd(s.id), fromStd(tides::distanceText(c.distanceKm)),
                           fromStd(s.datum));
    if (day.interpolated) {
        tip += QLatin1Char(' ') +
               tr("A subordinate station has only its highs and lows: the curve between them is "
                  "drawn through them, not predicted.");
    }
    tip += QLatin1Char(' ') + fromStd(tides::honestyLine(*db));
    FrameTides->setToolTip(state_.textTipsShown ? tip : QString());
    FrameTides->setAccessibleDescription(tip);
    // The tide now, on today's page only.
    const tides::UnixSeconds now =
        services_.now ? services_.now() : QDateTime::currentSecsSinceEpoch();
    if (services_.today && QDate(date->year(), date->ymd().month, date->ymd().day) == services_.today() &&
        now >= day.begin && now < day.end && !day.curve.empty()) {
        LabelTideNow->setText(tides::rising(*db, s, now) ? tr("Rising now") : tr("Falling now"));
    }
    if (services_.now) PictureDay->setNow(now);
    PictureDay->setDay(state_, *date, &day, fromStd(s.name));
}

QString Form1::tideRangeText(Date date) {
    const auto tidesOf = tidesOfPlace();
    if (!tidesOf) return QString();
    const tides::DayTides day = tidesOf(state_, date);
    if (day.events.size() < 2) return QString();
    const auto [low, high] = std::minmax_element(
        day.events.begin(), day.events.end(),
        [](const tides::TideEvent& a, const tides::TideEvent& b) { return a.heightMetres < b.heightMetres; });
    return tr("Tide range %1 m").arg(high->heightMetres - low->heightMetres, 0, 'f', 2);
}

void Form1::showTideRange(Date date) {
    const QString range = tideRangeText(date);
    TextTideRange->setText(range);
    TextTideRange->setVisible(!range.isEmpty());
    TextTideRange->raise();
}

void Form1::CommandTideStation_Click() {
    const tides::TideDatabase* db = tideDatabase();
    if (db == nullptr) {
        showMessage(noTidesReason(), tr("Tides"), static_cast<int>(MessageBoxes::Icon::Information));
        return;
    }
    FormTideStation dialog(*db, state_.latitude, state_.longitude, tideStation_, this);
    if (dialog.exec() == QDialog::Accepted) setTideStation(dialog.choice());
}

void Form1::setTideStation(const QString& choice) {
    tideStation_ = choice;
    pendingTideStation_ = choice;
    SettingsStore& store = *services_.store;
    write(store, keys::tidestation, choice);
    // A saved location keeps its station too, so choosing it again brings it back.
    const QString name = readText(store, keys::currentloc);
    if (!name.isEmpty() && listedLocations().contains(name))
        store.save(kTitleApp, locationSection(name), QStringLiteral("tidestation"), choice);
    showTides();
}

}  // namespace moonbite
