// "Tide Station": which station a place's tides come from. The nearest
// stations are listed first; typing searches the whole harmonics file by name
// or station number. "Nearest station" keeps the choice automatic and "No
// tides for this place" turns the tides off for it.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "tide_database.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace moonbite {

class FormTideStation : public QDialog {
    Q_OBJECT
  public:
    /// stored: the place's choice as kept ("" nearest, "none", or a name).
    FormTideStation(const tides::TideDatabase& db, double latitude, double longitude,
                    const QString& stored, QWidget* parent = nullptr);

    /// The choice to keep for the place, as stored.
    [[nodiscard]] QString choice() const;
    /// Lists the stations that match the search box (the nearest when empty).
    void listStations();

    QLabel* LabelFindStation = nullptr;
    QLineEdit* TextFindStation = nullptr;
    QListWidget* ListStations = nullptr;
    QLabel* LabelStationNote = nullptr;
    QPushButton* CommandOk = nullptr;
    QPushButton* CommandCancel = nullptr;

  private:
    const tides::TideDatabase& db_;
    double latitude_;
    double longitude_;
    QString stored_;
};

}  // namespace moonbite
