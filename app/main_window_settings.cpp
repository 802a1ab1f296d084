// Form1's settings frame: validation and saving of the current location, the
// saved locations, the time zone, and the wiring of every control's handler.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTimeZone>
#include <QTimer>
#include <QValidator>
#include <algorithm>
#include <cmath>
#include <memory>

#include "chart_widget.h"
#include "coordinate_text.h"
#include "current_place.h"
#include "gazetteer.h"
#include "main_window.h"
#include "message_boxes.h"
#include "place_table.h"
#include "settings_store.h"
#include "system_time_zone.h"
#include "updown.h"

namespace moonbite {
namespace {

const QString kTitle = QStringLiteral("Moonbite");
const QString kNewLocation = QStringLiteral("New Location");
const QString kLocations = QStringLiteral("Settings\\Locations\\");
constexpr int kCritical = static_cast<int>(MessageBoxes::Icon::Critical);

QString numberString(double value) {
    Text t;
    numberText(t, value);
    return QString::fromUtf8(t.c_str());
}

double valOf(const QLineEdit* box) {
    return Val(box->text().toUtf8().toStdString());
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// How long typing may pause before the matches follow it: a search takes a
// few milliseconds, so this only saves redrawing the list at every letter.
constexpr int kSearchPauseMs = 150;
constexpr std::size_t kPlacesShown = 50;

QString defaultPlaceNote() {
    return QObject::tr("Type the name of your town, then pick it from the list.");
}

// A hemisphere box takes one of its two letters, in either case; a letter
// typed beside the one there takes its place.
class HemisphereValidator : public QValidator {
  public:
    HemisphereValidator(char a, char b, QObject* parent)
        : QValidator(parent), a_(QLatin1Char(a)), b_(QLatin1Char(b)) {}
    State validate(QString& input, int& pos) const override {
        QString letters = input.toUpper();
        for (const QChar c : letters) {
            if (c != a_ && c != b_) return Invalid;
        }
        if (letters.size() > 1) {
            const auto at = std::clamp<qsizetype>(pos - 1, 0, letters.size() - 1);
            letters = QString(letters[at]);
            pos = 1;
        }
        input = letters;
        return input.isEmpty() ? Intermediate : Acceptable;
    }

  private:
    QChar a_, b_;
};

// "Key West — Florida, United States — America/New_York"
QString placeRowText(const places::Gazetteer& table, const places::PlaceRecord& p) {
    const QString region = fromUtf8(table.regionName(p));
    const QString country = fromUtf8(table.countryName(p));
    const QString where = region.isEmpty() ? country : region + QStringLiteral(", ") + country;
    return fromUtf8(p.name) + QStringLiteral(" \u2014 ") + where + QStringLiteral(" \u2014 ") +
           fromUtf8(p.zone);
}

}  // namespace

bool Form1::validNumber(QLineEdit* box, double& value) {
    bool ok = false;
    value = QLocale::c().toDouble(box->text().trimmed(), &ok);
    if (ok && std::isfinite(value)) return true;
    showMessage(QStringLiteral("Please use only Numeric characters in these boxes. "),
                QStringLiteral(" Invalid Characters Used"), kCritical);
    return false;
}

bool Form1::checklatlon() {
    // Coordinates as people have them ("34.73", "24°33'N", a pasted pair) are
    // read into degrees, minutes and letter first; dropping the fraction of
    // "34.73" would put the place 80 km out.
    readWrittenCoordinate(Text30, Text30->text());
    readWrittenCoordinate(Text15, Text15->text());
    // 1. A name for the location.
    if (Combo3->currentText().isEmpty()) {
        showMessage(
            QStringLiteral("No name has been entered for your location. Please enter a "
                           "name.\r\nIf this is the first time you are using this program, "
                           "please enter your location coordinates by selecting  | Settings "
                           "| Program Settings | on the menu bar"),
            kTitle, kCritical);
        return false;
    }
    // 3. No blank boxes.
    const std::pair<QLineEdit*, const char*> blanks[] = {{Text17, "Time Zone."},
                                                         {Text30, "Latitude Degrees."},
                                                         {Text15, "Longitude Degrees."},
                                                         {Text14, "Longitude minutes."},
                                                         {Text20, "Latitude minutes."}};
    for (const auto& [box, label] : blanks) {
        if (!box->text().isEmpty()) continue;
        const QString l = QString::fromLatin1(label);
        showMessage(QStringLiteral("No value was entered for ") + l +
                        QStringLiteral(" Please re-enter the ") + l,
                    QStringLiteral(" Settings Entry Is Blank"), kCritical);
        box->setFocus();
        return false;
    }
    // 4. Ranges, on the leading number of each box.
    struct Range {
        QLineEdit* box;
        bool (*outside)(double);
        const char* message;
    };
    const Range ranges[] = {
        {Text30, [](double v) { return v > 89; },
         "Latitude is greater than 89 degrees. Please re-enter latitude between 0-89"},
        {Text15, [](double v) { return v > 179; },
         "Longitude is greater than 179 degrees. Please re-enter longitude between 0-179"},
        {Text20, [](double v) { return v > 59; },
         "Latitude minutes is greater than 59. Please re-enter latitude minutes between 0 - 59"},
        {Text14, [](double v) { return v > 59; },
         "Longitude minutes is greater than 59. Please re-enter longitude minutes between 0 - 59"},
        {Text17, [](double v) { return v > 13 || v < -12; },
         "Time zone is not within GMT standard. Please re-enter time zone between -12 and +13"},
    };
    for (const Range& r : ranges) {
        if (!r.outside(valOf(r.box))) continue;
        showMessage(QString::fromLatin1(r.message), kTitle, kCritical);
        r.box->clear();
        r.box->setFocus();
        return false;
    }
    // 5. Negative degrees or minutes: the hemisphere letters carry the sign.
    double lonmin = 0, latmin = 0, londeg = 0, latdeg = 0;
    if (!validNumber(Text14, lonmin) || !validNumber(Text20, latmin) ||
        !validNumber(Text15, londeg) || !validNumber(Text30, latdeg))
        return false;
    if (lonmin < 0 || latmin < 0 || londeg < 0 || latdeg < 0) {
        showMessage(
            QStringLiteral("Negative values for latitude and longitude are not valid.\rSome "
                           "publications may represent latitude & longitude as negative values. "
                           "Usually the Southern Hemisphere and longitudes West of Greenwich are "
                           "represented this way.\rPlease use the (N or S) or (W or E) settings to "
                           "correct this problem."),
            QStringLiteral(" Negative Values - Use (N or S) or (W or E)"), kCritical);
        Text14->setText(numberString(std::fabs(lonmin)));
        Text20->setText(numberString(std::fabs(latmin)));
        Text15->setText(numberString(std::fabs(londeg)));
        Text30->setText(numberString(std::fabs(latdeg)));
        return false;
    }
    // 6. Whole degrees and minutes.
    Text30->setText(numberString(std::floor(latdeg)));
    Text20->setText(numberString(std::floor(latmin)));
    Text14->setText(numberString(std::floor(lonmin)));
    Text15->setText(numberString(std::floor(londeg)));
    // 7. The time zone.
    double zone = 0;
    if (!validNumber(Text17, zone)) return false;
    timeZoneText_ = numberString(zone);
    gmtadj();
    // 8. Save the current location and the program settings.
    SettingsStore& store = *services_.store;
    // What was on before: turning an option on starts the companion now; it
    // leaves by itself once everything is off.
    const bool alarmWasOn = readBool(store, keys::runalarm);
    const bool moonWasOn = readInt(store, keys::showmoon) != 0;
    const bool fishWasOn = readInt(store, keys::showfish) != 0;
    write(store, keys::runalarm, boolText(Option1->isChecked()));
    write(store, keys::showmoon, Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    write(store, keys::showfish, Check2->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    write(store, keys::daytype, QString::number(Combo2->currentIndex()));
    write(store, keys::daysinadvance, Text12->text());
    write(store, keys::latdeg, Text30->text());
    write(store, keys::londeg, Text15->text());
    write(store, keys::latmin, Text20->text());
    write(store, keys::lonmin, Text14->text());
    write(store, keys::gmtv, boolText(Label17->isVisibleTo(Label17->parentWidget())));
    write(store, keys::gmtInSettingsFrame, Text17->text());
    write(store, keys::NorS, Text40->text());
    write(store, keys::WorE, Text13->text());
    write(store, keys::daylight, Check3->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    write(store, keys::custom, boolText(customZone_));
    write(store, keys::tzname, namedZone());
    write(store, keys::tidestation, pendingTideStation_);
    tideStation_ = pendingTideStation_;
    write(store, keys::currentloc, Combo3->currentText());
    if (Option2->isChecked()) write(store, keys::runalarm, boolText(false));
    placeChosen_ = true;  // even where the store cannot keep it
    const bool turnedOn = (Option1->isChecked() && !alarmWasOn) ||
                          (Check1->isChecked() && !moonWasOn) || (Check2->isChecked() && !fishWasOn);
    if (turnedOn && services_.startCompanion) services_.startCompanion();
    return true;
}

// ---------------------------------------------------------------------------
// Coordinates as written

bool Form1::isCoordinateBox(const QObject* o) const {
    return o == Text30 || o == Text20 || o == Text40 || o == Text15 || o == Text14 || o == Text13;
}

bool Form1::readWrittenCoordinate(QLineEdit* box, const QString& text) {
    static const QRegularExpression whole(QStringLiteral("^[+-]?\\d+$"));
    static const QRegularExpression plain(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
    static const QRegularExpression decimalComma(QStringLiteral("^[+-]?\\d+,\\d+$"));
    QString t = text.trimmed();
    // A whole number is the degrees or minutes as the box holds them ("-33"
    // is left for the message about negative values); in a minutes or letter
    // box any plain number is its own ("33.3" minutes).
    const bool degrees = box == Text30 || box == Text15;
    if (t.isEmpty() || (degrees ? whole : plain).match(t).hasMatch()) return false;
    // "34,73" is a decimal comma, not a pair of whole degrees.
    if (decimalComma.match(t).hasMatch()) t.replace(QLatin1Char(','), QLatin1Char('.'));
    const bool latitude = box == Text30 || box == Text20 || box == Text40;
    const std::string utf8 = t.toUtf8().toStdString();
    const places::ParsedCoordinate one =
        places::parseCoordinate(utf8, latitude ? places::Axis::Latitude : places::Axis::Longitude);
    if (one.ok()) {
        showCoordinate(latitude, one.degrees);
        return true;
    }
    if (const auto pair = places::parseCoordinatePair(utf8)) {
        showCoordinate(true, pair->latitude);
        showCoordinate(false, pair->longitude);
        return true;
    }
    return false;  // checklatlon says what is wrong with it
}

void Form1::showCoordinate(bool latitude, double degrees) {
    const places::DegreesMinutes dm = places::toDegreesMinutes(
        degrees, latitude ? places::Axis::Latitude : places::Axis::Longitude);
    (latitude ? Text30 : Text15)->setText(QString::number(dm.degrees));
    (latitude ? Text20 : Text14)->setText(QString::number(dm.minutes));
    (latitude ? Text40 : Text13)->setText(QString(QLatin1Char(dm.letter)));
}

void Form1::pasteInto(QLineEdit* box) {
    if (!readWrittenCoordinate(box, QGuiApplication::clipboard()->text())) box->paste();
}

// ---------------------------------------------------------------------------
// Finding a place by name

void Form1::showPlaceNote(const QString& text) {
    LabelPlaceNote->setText(text);
}

// Right under the search box (which keeps its height as the window grows), as
// tall as its rows, up to the room it has at the window's size.
void Form1::fitPlaceList() {
    const QPoint below = TextFindPlace->mapTo(Frame9, QPoint(0, TextFindPlace->height()));
    ListPlaces->move(ListPlaces->x(), below.y());
    // The design's room (440 x 152 in a frame of 764 x 232), scaled as the frame is.
    const int roomHigh = static_cast<int>(std::lround(152.0 * Frame9->height() / 232));
    const int roomWide = static_cast<int>(std::lround(440.0 * Frame9->width() / 764));
    const int frame = 2 * ListPlaces->frameWidth();
    const int high = ListPlaces->count() * std::max(1, ListPlaces->sizeHintForRow(0)) + frame;
    const int wide = ListPlaces->sizeHintForColumn(0) + frame +
                     ListPlaces->verticalScrollBar()->sizeHint().width() + 8;
    const int narrowest = TextFindPlace->width();
    ListPlaces->resize(std::clamp(wide, narrowest, std::max(roomWide, narrowest)),
                       std::min(roomHigh, high));
}

void Form1::closePlaceList() {
    ListPlaces->hide();
}

void Form1::TextFindPlace_Change() {
    placeTable_->read();
    if (TextFindPlace->text().trimmed().isEmpty()) {
        searchPause_->stop();
        closePlaceList();
        if (placeTable_->status() != PlaceTable::Status::Missing) showPlaceNote(defaultPlaceNote());
        return;
    }
    searchPause_->start();
}

void Form1::findPlaces() {
    searchPause_->stop();
    placeTable_->read();
    if (placeTable_->status() == PlaceTable::Status::Missing) {
        showPlaceNote(tr("The list of places is not installed"));
        closePlaceList();
        return;
    }
    const QString query = TextFindPlace->text().trimmed();
    if (query.isEmpty()) {
        closePlaceList();
        return;
    }
    if (placeTable_->status() == PlaceTable::Status::Reading) {
        showPlaceNote(tr("Reading the list of places..."));
        return;  // the table's finished() searches again
    }
    const places::Gazetteer& table = *placeTable_->gazetteer();
    const std::string q = query.toUtf8().toStdString();
    placesFound_ = table.search(q, kPlacesShown);
    const bool similar = placesFound_.empty();
    if (similar) placesFound_ = table.suggestions(q, 8);
    ListPlaces->clear();
    for (const std::size_t i : placesFound_)
        ListPlaces->addItem(placeRowText(table, table.place(i)));
    if (placesFound_.empty()) {
        showPlaceNote(tr("No place called \"%1\" was found").arg(query));
        closePlaceList();
        return;
    }
    showPlaceNote(similar ? tr("No \"%1\"; places with similar names:").arg(query)
                          : tr("Pick your place from the list"));
    fitPlaceList();
    ListPlaces->show();
    ListPlaces->raise();
}

void Form1::pickPlace(int row) {
    const places::Gazetteer* table = placeTable_->gazetteer();
    if (table == nullptr || row < 0 || row >= static_cast<int>(placesFound_.size())) return;
    const places::PlaceRecord& p = table->place(placesFound_[static_cast<std::size_t>(row)]);
    closePlaceList();
    const QString name = fromUtf8(p.name);
    Combo3->setEditText(name);
    pendingTideStation_.clear();  // a new place: its nearest station
    showCoordinate(true, p.latitude);
    showCoordinate(false, p.longitude);
    // The zone's offset today goes into the G.M.T box, and its clocks are
    // followed by date.
    const QString zoneName = fromUtf8(p.zone);
    setNamedZone(zoneName);
    if (namedZone() != zoneName) {
        showPlaceNote(
            tr("This computer does not know the zone %1: set G.M.T by hand").arg(zoneName));
    } else {
        showPlaceNote(tr("%1 is filled in: press Ok to keep it").arg(name));
    }
    Command2->setEnabled(true);
    Command4->setFocus(Qt::OtherFocusReason);
}

void Form1::gmtadj() {
    const double zone = Val(timeZoneText_.toStdString());
    if (zone < -12) timeZoneText_ = QStringLiteral("13");
    if (zone > 13) timeZoneText_ = QStringLiteral("-12");
    UpDown1->setFocus();
    if (timeZoneText_ == numberString(systemOffsetHours_)) {
        const SystemZone z = ReadSystemTimeZone(*services_.timeZone, Check3->isChecked());
        systemZoneName_ = z.name;
        systemOffsetHours_ = z.offsetHours;
        Text16->setText(systemZoneName_);
        Text16->setEnabled(true);
        customZone_ = false;
        Check3->setEnabled(true);
    } else {
        Text16->setText(QStringLiteral("Custom"));
        Text16->setEnabled(false);
        Check3->setEnabled(false);
        customZone_ = true;
    }
    Text17->setText(timeZoneText_);
    Label17->setVisible(Val(timeZoneText_.toStdString()) > 0);
}

void Form1::UpDown11_UpClick() {
    timeZoneText_ = numberString(valOf(Text17) + 0.5);
    gmtadj();
}

void Form1::UpDown11_DownClick() {
    timeZoneText_ = numberString(valOf(Text17) - 0.5);
    gmtadj();
}

void Form1::Check3_Click() {
    const SystemZone z = ReadSystemTimeZone(*services_.timeZone, Check3->isChecked());
    systemZoneName_ = z.name;
    systemOffsetHours_ = z.offsetHours;
    Text16->setText(systemZoneName_);
    Text17->setText(numberString(systemOffsetHours_));
}

void Form1::Text17_KeyPress_Enter() {
    timeZoneText_ = numberString(valOf(Text17));
    gmtadj();
    UpDown11->setFocus();
}

// ---------------------------------------------------------------------------
// The zone by name

QString Form1::namedZone() const {
    return Combo4->currentIndex() > 0 ? Combo4->itemText(Combo4->currentIndex()) : QString();
}

void Form1::setNamedZone(const QString& name) {
    const int index = isKnownZoneName(name)
                          ? Combo4->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive)
                          : 0;
    zoneChoice_ = std::max(0, index);
    Combo4->setCurrentIndex(zoneChoice_);
    applyNamedZone(false);
}

void Form1::Combo4_Click() {
    // Any case is accepted for a whole name; anything else is not a zone.
    const int index = Combo4->findText(Combo4->currentText().trimmed(), Qt::MatchFixedString);
    if (index < 0) {
        Combo4->setCurrentIndex(zoneChoice_);
        Combo4->setEditText(Combo4->itemText(zoneChoice_));
        return;
    }
    Combo4->setCurrentIndex(index);
    Combo4->setEditText(Combo4->itemText(index));
    // The combo box may have taken the item itself before saying so; what
    // counts is whether it differs from the zone last applied.
    if (index == zoneChoice_) return;
    zoneChoice_ = index;
    applyNamedZone(true);
    Command2->setEnabled(true);
}

void Form1::applyNamedZone(bool tellUser) {
    const QString name = namedZone();
    if (name.isEmpty()) return;  // "(none)": the G.M.T box keeps what it shows
    const QDate today = services_.today();
    const auto date = Date::fromYmd(today.year(), today.month(), today.day());
    if (!date) return;
    const double hours = QtZoneRule(QTimeZone(name.toUtf8())).hoursOn(*date);
    if (hours < -12 || hours > 13) {
        if (tellUser) {
            showMessage(tr("%1 is %2 hours from Greenwich today, beyond the -12 to +13 of the "
                           "G.M.T box, which keeps its value. The times of each date still "
                           "follow the clocks of %1.")
                            .arg(name, numberString(hours)),
                        kTitle, static_cast<int>(MessageBoxes::Icon::Information));
        }
        return;
    }
    timeZoneText_ = numberString(hours);
    gmtadj();
}

// ---------------------------------------------------------------------------
// Locations

void Form1::Combo3_Click() {
    const QString name = Combo3->currentText();
    if (name == kNewLocation) {
        Combo3->setEditText(QString());
        return;
    }
    SettingsStore& store = *services_.store;
    const QString section = locationSection(name);
    auto get = [&](const char* key, const char* def) {
        return store.get(kTitleApp, section, QString::fromLatin1(key), QString::fromLatin1(def));
    };
    Text30->setText(get("latdeg", "0"));
    Text20->setText(get("latmin", "0"));
    Text40->setText(get("NorS", "S"));
    Text15->setText(get("londeg", "0"));
    Text14->setText(get("lonmin", "0"));
    Text13->setText(get("WorE", "E"));
    Text17->setText(get("gmt", "13"));
    timeZoneText_ = numberString(valOf(Text17));
    gmtadj();
    setNamedZone(get("tzname", ""));
    pendingTideStation_ = get("tidestation", "");
}

// Saving and deleting go by the list on disk, read under the file's lock
// just before the write: another window may have added or deleted a location
// since this one read it. The list shown is then the one saved.
void Form1::Command8_Click() {
    const QString name = Combo3->currentText();
    // A blank name would be a blank list entry that no one can pick or delete.
    if (name.trimmed().isEmpty()) {
        showMessage(tr("Please type a name for the location before saving it."),
                    tr("No Location Name"), static_cast<int>(MessageBoxes::Icon::Information));
        Combo3->setFocus();
        return;
    }
    saveLocation(name, false);
}

void Form1::saveLocation(const QString& name, bool onlyIfNew) {
    if (name.trimmed().isEmpty()) return;
    if (onlyIfNew && listedLocations().contains(name)) return;
    SettingsStore& store = *services_.store;
    const QString section = locationSection(name);
    const std::pair<const char*, QString> values[] = {
        {"latdeg", Text30->text()}, {"londeg", Text15->text()}, {"latmin", Text20->text()},
        {"lonmin", Text14->text()}, {"gmt", Text17->text()},    {"NorS", Text40->text()},
        {"WorE", Text13->text()},   {"tzname", namedZone()}, {"tidestation", pendingTideStation_}};
    QStringList names = listedLocations();
    bool read = false;
    store.update(kTitleApp, [&](SettingsStore::Update& u) {
        read = true;
        names = readLocationNames(u);
        if (!names.contains(name)) {
            names << name;
            const QString n = QString::number(names.size());
            u.save(kLocations, QStringLiteral("nlist"), n);
            u.save(kLocations, QStringLiteral("place(%1)").arg(n), name);
        } else if (onlyIfNew) {
            return;  // saved meanwhile by another window: its own values stay
        }
        for (const auto& [key, value] : values)
            u.save(section, QString::fromLatin1(key), value);
    });
    // Not saved (the store is read-only): the list still shows the name.
    if (!read && !names.contains(name)) names << name;
    listLocations(names);
    Combo3->setCurrentIndex(static_cast<int>(names.indexOf(name)) + 1);
    saveSettingsNotKeptOnce();
}

void Form1::Command9_Click() {
    SettingsStore& store = *services_.store;
    const QString name = Combo3->currentText();
    QStringList names = listedLocations();
    // Nothing saved under this name ("New Location" is not a place).
    if (!names.contains(name)) return;
    bool read = false;
    store.update(kTitleApp, [&](SettingsStore::Update& u) {
        read = true;
        names = readLocationNames(u);
        const auto index = names.indexOf(name);
        if (index < 0) return;  // already deleted by another window
        u.remove(locationSection(name) + QStringLiteral("\\"));
        names.removeAt(index);
        const auto k = names.size();
        for (qsizetype i = index; i < k; ++i)
            u.save(kLocations, QStringLiteral("place(%1)").arg(i + 1), names[i]);
        u.save(kLocations, QStringLiteral("nlist"), QString::number(k));
        u.remove(kLocations, QStringLiteral("place(%1)").arg(k + 1));
    });
    if (!read) names.removeOne(name);
    listLocations(names);
    Combo3->setEditText(name);
    if (names.isEmpty()) write(store, keys::currentloc, Combo3->currentText());
    saveSettingsNotKeptOnce();
}

// ---------------------------------------------------------------------------
// Apply, OK, Cancel

// A failed validation stops here: running the activation after it would
// refill the boxes from the store (losing the user's correction) and show the
// same message a second time. A place applied under a name not yet saved is
// saved under it too: the user who found or typed it and pressed Ok meant to
// keep it. A saved place's own section is left as it is (Save updates it).
void Form1::Command2_Click() {
    if (!checklatlon()) return;
    saveLocation(Combo3->currentText(), true);
    Command2->setEnabled(false);
    Activateform();
}

void Form1::Command4_Click() {
    if (!checklatlon()) return;
    saveLocation(Combo3->currentText(), true);
    Command2->setEnabled(false);
    mnualarm->setEnabled(true);
    closePlaceList();
    Frame9->hide();
    MSChart1->show();
    Activateform();
    Command2->setEnabled(true);
}

void Form1::Command5_Click() {
    mnualarm->setEnabled(true);
    closePlaceList();
    Frame9->hide();
    MSChart1->show();
    Command2->setEnabled(true);
    if (!placeChosen_) showChoosePlace();
}

void Form1::setAlarmGroupEnabled(bool enabled) {
    for (QWidget* w :
         {static_cast<QWidget*>(Frame7), static_cast<QWidget*>(Combo2),
          static_cast<QWidget*>(Text12), static_cast<QWidget*>(UpDown4),
          static_cast<QWidget*>(LabelWarnOn), static_cast<QWidget*>(LabelDaysInAdvance)}) {
        w->setEnabled(enabled);
    }
}

void Form1::stepWrapped(QLineEdit* box, int delta, int wrapAt, int wrapTo) {
    double v = valOf(box) + delta;
    if (v >= wrapAt) v = 0;
    if (v < 0) v = wrapTo;
    box->setText(numberString(v));
}

void Form1::flipLetters(QLineEdit* box, const char* a, const char* b) {
    box->setText(box->text() == QLatin1String(a) ? QString::fromLatin1(b) : QString::fromLatin1(a));
}

// ---------------------------------------------------------------------------
// Wiring

void Form1::connectHandlers() {
    // Date group. The spinners step their buddy box, then raise their change.
    connect(UpDown1, &UpDown::upClick, this,
            [this] { Text1->setText(numberString(valOf(Text1) + 1)); });
    connect(UpDown1, &UpDown::downClick, this,
            [this] { Text1->setText(numberString(valOf(Text1) - 1)); });
    connect(UpDown1, &UpDown::change, this, &Form1::UpDown1_Change);
    connect(UpDown2, &UpDown::upClick, this, [this] {
        Text10->setText(numberString(valOf(Text10) + 1));
        Text10_Change();
    });
    connect(UpDown2, &UpDown::downClick, this, [this] {
        Text10->setText(numberString(valOf(Text10) - 1));
        Text10_Change();
    });
    connect(Combo1, &QComboBox::activated, this, [this](int) { Combo1_Click(); });
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    Text10->setReadOnly(true);
    for (QObject* o : {static_cast<QObject*>(Text1), static_cast<QObject*>(Text10),
                       static_cast<QObject*>(Combo1), static_cast<QObject*>(Text11),
                       static_cast<QObject*>(Text17)}) {
        o->installEventFilter(this);
    }
    for (QWidget* frame : {static_cast<QWidget*>(Frame1), static_cast<QWidget*>(Frame2),
                           static_cast<QWidget*>(Frame3), static_cast<QWidget*>(Frame5),
                           static_cast<QWidget*>(Frame6), centralWidget()}) {
        frame->installEventFilter(this);
    }

    // Graph days and the chart.
    connect(UpDown3, &UpDown::upClick, this, [this] {
        Text11->setText(QString::number(std::min(60, static_cast<int>(valOf(Text11)) + 1)));
    });
    connect(UpDown3, &UpDown::downClick, this, [this] {
        Text11->setText(QString::number(std::max(2, static_cast<int>(valOf(Text11)) - 1)));
    });
    connect(UpDown3, &UpDown::change, this, &Form1::UpDown3_Change);
    connect(MSChart1, &ChartWidget::pointSelected, this, &Form1::MSChart1_PointSelected);
    connect(MSChart1, &ChartWidget::pointActivated, this, &Form1::MSChart1_PointActivated);
    connect(MSChart1, &ChartWidget::plotSelected, this,
            [this](int, int) { MSChart1_PlotSelected(); });
    connect(MSChart1, &ChartWidget::plotActivated, this,
            [this](int, int) { MSChart1_PlotSelected(); });
    connect(MSChart1, &ChartWidget::lostFocus, this, &Form1::MSChart1_LostFocus);

    // Commands.
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(CommandTideStation, &QPushButton::clicked, this, &Form1::CommandTideStation_Click);
    connect(Command3, &QPushButton::clicked, this, &QWidget::close);

    // Settings frame.
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, [this] {
        if (services_.openHelp) services_.openHelp(10);
    });
    connect(Command8, &QPushButton::clicked, this, &Form1::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &Form1::Command9_Click);
    connect(Combo3, &QComboBox::activated, this, [this](int) { Combo3_Click(); });
    for (QLineEdit* box : {Text12, Text13, Text14, Text15, Text17, Text20, Text30, Text40}) {
        connect(box, &QLineEdit::textChanged, this, [this] { Command2->setEnabled(true); });
    }
    connect(Combo2, &QComboBox::activated, this, [this](int) {
        Command2->setEnabled(true);
        UpDown1->setFocus();
    });
    connect(Option1, &QRadioButton::clicked, this, [this] {
        setAlarmGroupEnabled(true);
        Command2->setEnabled(true);
    });
    connect(Option2, &QRadioButton::clicked, this, [this] {
        setAlarmGroupEnabled(false);
        Command2->setEnabled(true);
    });
    connect(UpDown9, &UpDown::upClick, this, [this] { stepWrapped(Text30, 1, 90, 89); });
    connect(UpDown9, &UpDown::downClick, this, [this] { stepWrapped(Text30, -1, 90, 89); });
    connect(UpDown6, &UpDown::upClick, this, [this] { stepWrapped(Text20, 1, 60, 59); });
    connect(UpDown6, &UpDown::downClick, this, [this] { stepWrapped(Text20, -1, 60, 59); });
    connect(UpDown7, &UpDown::upClick, this, [this] { stepWrapped(Text15, 1, 180, 179); });
    connect(UpDown7, &UpDown::downClick, this, [this] { stepWrapped(Text15, -1, 180, 179); });
    connect(UpDown8, &UpDown::upClick, this, [this] { stepWrapped(Text14, 1, 60, 59); });
    connect(UpDown8, &UpDown::downClick, this, [this] { stepWrapped(Text14, -1, 60, 59); });
    connect(UpDown10, &UpDown::change, this, [this] { flipLetters(Text40, "N", "S"); });
    connect(UpDown5, &UpDown::change, this, [this] { flipLetters(Text13, "W", "E"); });
    connect(UpDown4, &UpDown::upClick, this,
            [this] { Text12->setText(numberString(valOf(Text12) + 1)); });
    connect(UpDown4, &UpDown::downClick, this,
            [this] { Text12->setText(numberString(std::max(0.0, valOf(Text12) - 1))); });
    connect(UpDown11, &UpDown::upClick, this, &Form1::UpDown11_UpClick);
    connect(UpDown11, &UpDown::downClick, this, &Form1::UpDown11_DownClick);
    connect(Check3, &QCheckBox::clicked, this, [this] { Check3_Click(); });
    // A pick from the list or from the search's popup, or Enter.
    connect(Combo4, &QComboBox::activated, this, [this](int) { Combo4_Click(); });
    connect(Combo4->completer(), qOverload<const QString&>(&QCompleter::activated), this,
            [this](const QString&) { Combo4_Click(); });
    connect(Combo4->lineEdit(), &QLineEdit::returnPressed, this, &Form1::Combo4_Click);
    // Leaving the box goes through eventFilter, which a window being closed no
    // longer reaches (editingFinished would call into it then).
    Combo4->lineEdit()->installEventFilter(this);

    // Coordinates as written: read on leaving a degrees box or pressing Enter
    // in it, and on a paste into any of the six (eventFilter).
    Text40->setValidator(new HemisphereValidator('N', 'S', Text40));
    Text13->setValidator(new HemisphereValidator('W', 'E', Text13));
    for (QLineEdit* box : {Text30, Text20, Text40, Text15, Text14, Text13})
        box->installEventFilter(this);

    // Finding a place: the table is read the first time the box is used.
    placeTable_ = std::make_unique<PlaceTable>(services_.placesTable);
    searchPause_ = new QTimer(this);
    searchPause_->setSingleShot(true);
    searchPause_->setInterval(kSearchPauseMs);
    connect(searchPause_, &QTimer::timeout, this, &Form1::findPlaces);
    connect(placeTable_.get(), &PlaceTable::finished, this, [this] {
        // A missing table is said at once, whether or not anything was typed yet.
        if (placeTable_->gazetteer() == nullptr || !TextFindPlace->text().trimmed().isEmpty())
            findPlaces();
    });
    connect(TextFindPlace, &QLineEdit::textEdited, this, &Form1::TextFindPlace_Change);
    connect(LabelChoosePlace, &QLabel::linkActivated, this, [this] { chooseAPlace(); });
    connect(ListPlaces, &QListWidget::clicked, this,
            [this](const QModelIndex& index) { pickPlace(index.row()); });
    showPlaceNote(defaultPlaceNote());
    TextFindPlace->installEventFilter(this);
    ListPlaces->installEventFilter(this);

    // Menus.
    connect(mnubackcol, &QAction::triggered, this, &Form1::mnubackcol_Click);
    connect(mnualarm, &QAction::triggered, this, &Form1::mnualarm_Click);
    connect(mnuregional, &QAction::triggered, this, [this] {
        if (services_.openRegionalSettings) services_.openRegionalSettings();
    });
    connect(mnudaterep, &QAction::triggered, this, &Form1::datrep);
    connect(mnurevmoon, &QAction::triggered, this, &Form1::mnurevmoon_Click);
    connect(mnutextip, &QAction::triggered, this, &Form1::mnutextip_Click);
    connect(mnuprintcal, &QAction::triggered, this, &Form1::mnuprintcal_Click);
    connect(mnuhelptopics, &QAction::triggered, this, [this] {
        if (services_.openHelp) services_.openHelp(11);
    });
    connect(mnuabout, &QAction::triggered, this, &Form1::mnuabout_Click);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        const int key = keyEvent->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (watched == TextFindPlace) {
            if (key == Qt::Key_Down && ListPlaces->isVisible()) {
                ListPlaces->setFocus(Qt::TabFocusReason);
                ListPlaces->setCurrentRow(0);
                return true;
            }
            if (enter) {
                // Typed and Enter at once: the search need not wait for the pause.
                if (searchPause_->isActive() || !ListPlaces->isVisible()) {
                    placeTable_->read();
                    placeTable_->waitForRead();
                    findPlaces();
                }
                if (ListPlaces->isVisible()) pickPlace(std::max(0, ListPlaces->currentRow()));
                return true;
            }
            if (key == Qt::Key_Escape && ListPlaces->isVisible()) {
                closePlaceList();
                return true;
            }
        }
        if (watched == ListPlaces) {
            if (enter) {
                pickPlace(ListPlaces->currentRow());
                return true;
            }
            if (key == Qt::Key_Escape || (key == Qt::Key_Up && ListPlaces->currentRow() <= 0)) {
                if (key == Qt::Key_Escape) closePlaceList();
                TextFindPlace->setFocus(Qt::TabFocusReason);
                return true;
            }
        }
        if (isCoordinateBox(watched)) {
            auto* box = static_cast<QLineEdit*>(watched);
            if (keyEvent->matches(QKeySequence::Paste)) {
                pasteInto(box);
                return true;
            }
            if (enter && (box == Text30 || box == Text15)) readWrittenCoordinate(box, box->text());
        }
        if (watched == Text1 && (key == Qt::Key_Up || key == Qt::Key_Down)) {
            Text1_KeyDown(key);
            return true;
        }
        if (watched == Text1 && enter) {
            Text1_KeyPress_Enter();
            return true;
        }
        // Typing, not Tab, goes to the year's spinner.
        const QString typed = keyEvent->text();
        if (watched == Text10 && !typed.isEmpty() && typed.at(0).isPrint()) {
            Text10_KeyPress();
            return true;
        }
        if (watched == Text11 && enter) {
            Text11_Commit();
            return true;
        }
        if (watched == Text17 && enter) {
            Text17_KeyPress_Enter();
            return true;
        }
    } else if (type == QEvent::FocusIn && watched == TextFindPlace) {
        placeTable_->read();
    } else if (type == QEvent::ContextMenu && isCoordinateBox(watched)) {
        // The box's own menu, its Paste reading coordinates as Ctrl+V does.
        auto* box = static_cast<QLineEdit*>(watched);
        const std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
        for (QAction* action : menu->actions()) {
            // Named in newer Qt; otherwise known by the line edit's own caption.
            const bool paste =
                action->objectName() == QLatin1String("edit-paste") ||
                action->text().section(QLatin1Char('\t'), 0, 0) == QLineEdit::tr("&Paste");
            if (!paste) continue;
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this, box] { pasteInto(box); });
        }
        menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    } else if (type == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool away = reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
        if (away && (watched == Text30 || watched == Text15)) {
            auto* box = static_cast<QLineEdit*>(watched);
            readWrittenCoordinate(box, box->text());
        }
        // The list belongs to the search: it closes when the user goes elsewhere.
        if (away && (watched == TextFindPlace || watched == ListPlaces)) {
            QWidget* now = QApplication::focusWidget();
            if (now != TextFindPlace && now != ListPlaces) closePlaceList();
        }
        if (watched == Combo1 && !starty_ && !Combo1->view()->isVisible()) Combo1_LostFocus();
        if (watched == Text11) {
            setGraphDaysValidated();
            graph();
        }
        // Not while the list drops down: that is still choosing.
        if (watched == Combo4->lineEdit() &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            Combo4_Click();
    } else if (type == QEvent::MouseButtonPress &&
               (watched == Frame1 || watched == Frame2 || watched == Frame3 || watched == Frame5 ||
                watched == Frame6 || watched == centralWidget())) {
        UpDown1->setFocus();
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace moonbite
