// frmAbout: the program's title, version and what it does, its licence,
// copyright and credits, and the way to its help.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace moonbite {

class frmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget* parent = nullptr);
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblData = nullptr;  ///< where the list of places comes from, and its licence
    QLabel* lblTides = nullptr;  ///< where the tide constants come from, and "not for navigation"
    QLabel* lblDescription = nullptr;
    QLabel* lblLicence = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* cmdHelp = nullptr;  ///< "&Help Topics": helpRequested; the box stays open
    QPushButton* cmdOK = nullptr;

  signals:
    void helpRequested();
};

/// "Version " and the program's major, minor and patch numbers.
[[nodiscard]] QString versionText();

}  // namespace moonbite
