#include "tide_station_dialog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "place_tides.h"

namespace moonbite {
namespace {

constexpr int kRoleChoice = Qt::UserRole;
constexpr std::size_t kListed = 40;

QString text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

FormTideStation::FormTideStation(const tides::TideDatabase& db, double latitude, double longitude,
                                 const QString& stored, QWidget* parent)
    : QDialog(parent), db_(db), latitude_(latitude), longitude_(longitude), stored_(stored) {
    setObjectName(QStringLiteral("FormTideStation"));
    setWindowTitle(tr("Tide Station"));
    // A list and a search: laid out, since it has no fixed design to scale.
    auto* layout = new QVBoxLayout(this);
    LabelFindStation = new QLabel(tr("&Find a station by name or number:"), this);
    LabelFindStation->setObjectName(QStringLiteral("LabelFindStation"));
    TextFindStation = new QLineEdit(this);
    TextFindStation->setObjectName(QStringLiteral("TextFindStation"));
    TextFindStation->setPlaceholderText(tr("Harbor, bay or station number"));
    TextFindStation->setClearButtonEnabled(true);
    LabelFindStation->setBuddy(TextFindStation);
    ListStations = new QListWidget(this);
    ListStations->setObjectName(QStringLiteral("ListStations"));
    ListStations->setAccessibleName(tr("Tide stations"));
    LabelStationNote = new QLabel(this);
    LabelStationNote->setObjectName(QStringLiteral("LabelStationNote"));
    LabelStationNote->setWordWrap(true);
    LabelStationNote->setText(tr("Stations of NOAA's harmonics file (US coasts and islands). "
                                 "Predictions are not for navigation."));
    CommandOk = new QPushButton(tr("&Use Station"), this);
    CommandOk->setObjectName(QStringLiteral("CommandOk"));
    CommandOk->setDefault(true);
    CommandCancel = new QPushButton(tr("&Cancel"), this);
    CommandCancel->setObjectName(QStringLiteral("CommandCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CommandOk);
    buttons->addWidget(CommandCancel);
    layout->addWidget(LabelFindStation);
    layout->addWidget(TextFindStation);
    layout->addWidget(ListStations, 1);
    layout->addWidget(LabelStationNote);
    layout->addLayout(buttons);
    resize(520, 440);

    connect(TextFindStation, &QLineEdit::textChanged, this, [this] { listStations(); });
    connect(ListStations, &QListWidget::itemActivated, this, [this] { accept(); });
    connect(ListStations, &QListWidget::currentRowChanged, this,
            [this](int row) { CommandOk->setEnabled(row >= 0); });
    connect(CommandOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(CommandCancel, &QPushButton::clicked, this, &QDialog::reject);
    listStations();
    TextFindStation->setFocus();
}

void FormTideStation::listStations() {
    ListStations->clear();
    const QString query = TextFindStation->text().trimmed();
    auto add = [this](const QString& caption, const QString& choice) {
        auto* item = new QListWidgetItem(caption, ListStations);
        item->setData(kRoleChoice, choice);
        if (choice == stored_) ListStations->setCurrentItem(item);
    };
    const tides::NearStation nearest =
        tides::nearestStation(db_, latitude_, longitude_, tides::kStationReachKm);
    if (query.isEmpty()) {
        const QString near =
            nearest.index < 0
                ? tr("none within %1 km").arg(static_cast<int>(tides::kStationReachKm))
                : text(db_.stations[static_cast<std::size_t>(nearest.index)].name);
        add(tr("Nearest station (%1)").arg(near), QString());
        add(tr("No tides for this place"), QString::fromLatin1(tides::kNoStation.data(),
                                                               tides::kNoStation.size()));
    }
    std::vector<int> found;
    if (query.isEmpty()) {
        for (const tides::NearStation& n : tides::nearestStations(db_, latitude_, longitude_, kListed))
            found.push_back(n.index);
    } else {
        found = tides::findStations(db_, query.toStdString(), kListed);
    }
    for (const int i : found) {
        const tides::TideStation& s = db_.stations[static_cast<std::size_t>(i)];
        const double km = tides::distanceKm(latitude_, longitude_, s.latitude, s.longitude);
        add(tr("%1 (%2, %3)")
                .arg(text(s.name), text(tides::distanceText(km)),
                     s.reference ? tr("NOAA %1").arg(text(s.id))
                                 : tr("subordinate, NOAA %1").arg(text(s.id))),
            text(s.name));
    }
    if (ListStations->currentRow() < 0 && ListStations->count() > 0) ListStations->setCurrentRow(0);
    CommandOk->setEnabled(ListStations->currentRow() >= 0);
    if (!query.isEmpty() && found.empty())
        LabelStationNote->setText(tr("No station matches \"%1\".").arg(query));
    else
        LabelStationNote->setText(tr("Stations of NOAA's harmonics file (US coasts and islands). "
                                     "Predictions are not for navigation."));
}

QString FormTideStation::choice() const {
    const QListWidgetItem* item = ListStations->currentItem();
    return item == nullptr ? stored_ : item->data(kRoleChoice).toString();
}

}  // namespace moonbite
