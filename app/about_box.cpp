#include "about_box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>

#include "moon_pictures.h"
#include "moonbite_version.h"
#include "window_fit.h"

namespace moonbite {

QString versionText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(kVersionMajor)
        .arg(kVersionMinor)
        .arg(kVersionPatch);
}

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    const QString title = QStringLiteral("Moonbite");
    setWindowTitle(QStringLiteral("About ") + title);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(appIcon().pixmap(96, 96));
    Image1->setAccessibleName(QStringLiteral("Moonbite icon"));
    lblTitle = new QLabel(title, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont f = lblTitle->font();
    f.setPointSizeF(f.pointSizeF() * 1.8);
    f.setBold(true);
    lblTitle->setFont(f);
    lblVersion = new QLabel(versionText(), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    Label1 = new QLabel(QStringLiteral("Moonbite calculates the best time to go fishing."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    // The licence of the list of places asks for this credit.
    lblData =
        new QLabel(QStringLiteral("Contains data from GeoNames (geonames.org), CC BY 4.0"), this);
    lblData->setObjectName(QStringLiteral("lblData"));
    lblData->setWordWrap(true);
    lblTides = new QLabel(
        tr("Tide predictions (moonbite-cli tides) use the harmonic constants of NOAA's tide "
           "stations (public domain) in Debian's xtide-data; they are not for navigation."),
        this);
    lblTides->setObjectName(QStringLiteral("lblTides"));
    lblTides->setWordWrap(true);
    lblDescription = new QLabel(
        tr("A solunar fishing calendar: sunrise and sunset, moonrise and moonset, the major and "
           "minor fishing periods, the Moon's phase and distance and a fishing prediction for "
           "any day and place, with a prediction graph, a printable month and a fishing "
           "journal."),
        this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);
    lblCopyright = new QLabel(tr("Copyright \u00a9 2026 The Moonbite developers"), this);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));
    // Plain text: the box must read the same offline, and nothing here
    // should open a browser by surprise.
    lblLicence = new QLabel(
        tr("Moonbite is free software under the GNU General Public License, version 3 or any "
           "later version (GPL-3.0-or-later). It comes with no warranty. The licence's full "
           "text is in /usr/share/common-licenses/GPL-3 and in the LICENSE file of the source."),
        this);
    lblLicence->setObjectName(QStringLiteral("lblLicence"));
    lblLicence->setWordWrap(true);
    for (QLabel* l : {lblDescription, lblCopyright, lblLicence, lblData, lblTides, Label1, lblVersion})
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdHelp = new QPushButton(tr("&Help Topics"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    connect(cmdHelp, &QPushButton::clicked, this, &frmAbout::helpRequested);
    cmdOK = new QPushButton(tr("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    // Ctrl+W closes it as Escape does.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this), &QShortcut::activated, this,
            &QDialog::reject);

    auto* text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addWidget(lblVersion);
    text->addSpacing(8);
    text->addWidget(Label1);
    text->addWidget(lblDescription);
    text->addSpacing(8);
    text->addWidget(lblCopyright);
    text->addWidget(lblLicence);
    text->addSpacing(8);
    text->addWidget(lblData);
    text->addWidget(lblTides);
    text->addStretch();
    // The texts scroll when the screen is too small for them (a high scale on
    // a laptop), so the buttons stay in reach.
    auto* body = new QWidget;
    body->setObjectName(QStringLiteral("aboutText"));
    auto* top = new QHBoxLayout(body);
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("aboutScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(body);
    scroll->setAccessibleName(tr("About Moonbite"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHelp);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    auto* all = new QVBoxLayout(this);
    all->addWidget(scroll, 1);
    all->addLayout(buttons);
    // Wide enough for the paragraphs to read as paragraphs; as tall as the
    // texts need at that width, or as the screen allows.
    constexpr int kWidth = 560;
    setMinimumWidth(420);
    const QMargins m = all->contentsMargins();
    const int textWidth = kWidth - m.left() - m.right();
    const int height = m.top() + body->heightForWidth(textWidth) + all->spacing() +
                       buttons->sizeHint().height() + m.bottom();
    resize(kWidth, std::max(height, 200));
    fitWhenShown(*this, nullptr, size());
}

}  // namespace moonbite
