// Form1's controls, menus and tips. The window uses absolute geometry at its
// design size (pixels here, 15 twips each) so the control resizer can scale
// every control with the window.
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTimeZone>
#include <algorithm>
#include <iterator>

#include "chart_widget.h"
#include "day_glance.h"
#include "gauge_line.h"
#include "main_window.h"
#include "make_control.h"
#include "moon_pictures.h"
#include "updown.h"

namespace moonbite {
namespace {

QLineEdit* readOnlyBox(QWidget* parent, const char* name, QRect geometry) {
    auto* box = makeControl<QLineEdit>(parent, name, geometry);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    // Read-only but a Tab stop, so a screen reader can reach and read it.
    box->setFocusPolicy(Qt::StrongFocus);
    return box;
}

// Text boxes keep their design height as the window grows, while the labels
// beside them grow with it. Held at the top, at the offset that centres it at
// the design size, a label's text stays level with its box's text at any size.
void levelWithTextBox(QLabel* label) {
    const int offset = std::max(0, (label->height() - label->sizeHint().height()) / 2);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setContentsMargins(0, offset, 0, 0);
}

// Captions are named like every other control: the resizer moves only named
// controls, and a caption left behind ends up beside the wrong box.
QLabel* caption(QWidget* parent, const char* name, const QString& text, QRect geometry,
                QWidget* buddy = nullptr, bool bold = false) {
    auto* label = makeControl<QLabel>(parent, name, geometry);
    label->setText(text);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    if (buddy != nullptr) label->setBuddy(buddy);
    levelWithTextBox(label);
    return label;
}

QGroupBox* group(QWidget* parent, const char* name, const QString& title, QRect geometry) {
    auto* g = makeControl<QGroupBox>(parent, name, geometry);
    g->setTitle(title);
    return g;
}

}  // namespace

void Form1::buildControls() {
    setWindowTitle(QStringLiteral("Moonbite"));
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);
    central->setMinimumSize(1010, 636);

    // --- The displayed date ---------------------------------------------------
    Dateframe = group(central, "Dateframe", tr("Date"), {8, 4, 994, 52});
    Text1 = makeControl<QLineEdit>(Dateframe, "Text1", {10, 20, 26, 24});
    Text1->setAlignment(Qt::AlignCenter);
    UpDown1 = makeControl<UpDown>(Dateframe, "UpDown1", {37, 20, 16, 24});
    Combo1 = makeControl<QComboBox>(Dateframe, "Combo1", {60, 20, 114, 24});
    for (int m = 1; m <= 12; ++m)
        Combo1->addItem(QString::fromLatin1(englishMonthName(m).data(),
                                            static_cast<int>(englishMonthName(m).size())));
    Text10 = makeControl<QLineEdit>(Dateframe, "Text10", {180, 20, 46, 24});
    Text10->setAlignment(Qt::AlignCenter);
    UpDown2 = makeControl<UpDown>(Dateframe, "UpDown2", {227, 20, 16, 24});
    Command7 = makeControl<QPushButton>(Dateframe, "Command7", {256, 18, 76, 28});
    Command7->setText(tr("&Today"));
    Label10 = makeControl<QLabel>(Dateframe, "Label10", {350, 20, 110, 24});
    QFont bold = Label10->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    Label10->setFont(bold);
    Label19 = makeControl<QLabel>(Dateframe, "Label19", {470, 20, 120, 24});
    Label19->setFont(bold);
    Label19->hide();
    // Right of the equinox/solstice label, so both show on a day that has both.
    LabelClockChange = makeControl<QLabel>(Dateframe, "LabelClockChange", {600, 20, 156, 24});
    QFont boldCaption = LabelClockChange->font();
    boldCaption.setBold(true);
    LabelClockChange->setFont(boldCaption);
    LabelClockChange->hide();
    // Where the equinox and clock-change labels go: there is no day to label yet.
    LabelChoosePlace = makeControl<QLabel>(Dateframe, "LabelChoosePlace", {470, 20, 286, 24});
    LabelChoosePlace->setTextFormat(Qt::RichText);
    LabelChoosePlace->setFont(boldCaption);
    LabelChoosePlace->hide();

    // --- Sun -------------------------------------------------------------------
    Frame2 = group(central, "Frame2", tr("Sun"), {8, 60, 250, 132});
    Text2 = readOnlyBox(Frame2, "Text2", {120, 22, 118, 24});
    caption(Frame2, "LabelSunrise", tr("Sunrise"), {12, 22, 100, 24});
    Text32 = readOnlyBox(Frame2, "Text32", {120, 50, 118, 24});
    caption(Frame2, "LabelSunset", tr("Sunset"), {12, 50, 100, 24});
    // One two-line caption, so that it stays centred on its box at any height.
    caption(Frame2, "LabelDayLength", tr("Length of Day\nHrs : Min"), {10, 87, 108, 30});
    Text6 = readOnlyBox(Frame2, "Text6", {120, 90, 118, 24});

    // --- Moon ------------------------------------------------------------------
    Frame5 = group(central, "Frame5", tr("Moon"), {266, 60, 250, 132});
    Text21 = readOnlyBox(Frame5, "Text21", {100, 22, 138, 24});
    caption(Frame5, "LabelMoonrise", tr("Moonrise"), {12, 22, 84, 24});
    Text39 = readOnlyBox(Frame5, "Text39", {100, 50, 138, 24});
    caption(Frame5, "LabelMoonset", tr("Moonset"), {12, 50, 84, 24});
    Text9 = readOnlyBox(Frame5, "Text9", {100, 80, 40, 24});
    caption(Frame5, "LabelAge", tr("Age (days)"), {12, 80, 84, 24});
    Image3 = makeControl<QLabel>(Frame5, "Image3", {186, 78, 48, 48});
    Image3->setAlignment(Qt::AlignCenter);
    Label14 = makeControl<QLabel>(Frame5, "Label14", {12, 106, 86, 20});
    Label18 = makeControl<QLabel>(Frame5, "Label18", {100, 106, 84, 20});
    QFont phaseFont = Label14->font();
    phaseFont.setBold(true);
    Label14->setFont(phaseFont);
    Label18->setFont(phaseFont);

    // --- Solunar periods ----------------------------------------------------------
    Frame6 = group(central, "Frame6", tr("Solunar periods"), {524, 60, 248, 132});
    caption(Frame6, "LabelMajor", tr("Major"), {10, 22, 50, 24}, nullptr, true);
    caption(Frame6, "LabelMajorAbove", tr("Moon Above"), {60, 22, 98, 24});
    Text4 = readOnlyBox(Frame6, "Text4", {158, 22, 82, 24});
    caption(Frame6, "LabelMajorBelow", tr("Moon Below"), {60, 48, 98, 24});
    Text5 = readOnlyBox(Frame6, "Text5", {158, 48, 82, 24});
    caption(Frame6, "LabelMinor", tr("Minor"), {10, 78, 50, 24}, nullptr, true);
    caption(Frame6, "LabelMinorAbove", tr("Moon Above"), {60, 78, 98, 24});
    Text7 = readOnlyBox(Frame6, "Text7", {158, 78, 82, 24});
    caption(Frame6, "LabelMinorBelow", tr("Moon Below"), {60, 104, 98, 24});
    Text8 = readOnlyBox(Frame6, "Text8", {158, 104, 82, 24});

    // --- Prediction and lunar distance ------------------------------------------------
    FramePrediction = group(central, "FramePrediction", tr("Prediction"), {8, 196, 250, 74});
    Picture2 = makeControl<QLabel>(FramePrediction, "Picture2", {14, 20, 110, 46});
    Picture2->setFrameShape(QFrame::Box);
    Picture2->setAutoFillBackground(true);
    Image5 = makeControl<QLabel>(Picture2, "Image5", {1, 1, 108, 44});
    Image5->setAlignment(Qt::AlignCenter);
    Image5->setScaledContents(true);
    // The rating in words too: the colour and the fish alone say nothing to
    // a reader who cannot tell the colours apart.
    LabelRating = makeControl<QLabel>(FramePrediction, "LabelRating", {132, 20, 108, 46});
    LabelRating->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont ratingFont = LabelRating->font();
    ratingFont.setBold(true);
    ratingFont.setPointSizeF(ratingFont.pointSizeF() * 1.3);
    LabelRating->setFont(ratingFont);

    Frame1 = group(central, "Frame1", tr("Lunar distance in Kilometers"), {266, 196, 344, 74});
    // The marker's left edge runs from 1700 to 2580 twips (113..172 px) as the
    // distance goes from 56 to 64.8 Earth radii; the scale spans that travel.
    Image1 = makeControl<QLabel>(Frame1, "Image1", {111, 22, 76, 34});
    Image1->setScaledContents(true);
    Line1 = makeControl<GaugeLine>(Frame1, "Line1", {0, 0, 344, 74});
    Image2 = makeControl<QLabel>(Frame1, "Image2", {113, 20, 14, 30});
    Image2->setScaledContents(true);
    Label13 = makeControl<QLabel>(Frame1, "Label13", {216, 26, 88, 26});
    QFont big = Label13->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    Label13->setFont(big);
    // Beside Label13, which grows with the window as this does.
    makeControl<QLabel>(Frame1, "LabelKm", {306, 26, 32, 26})->setText(tr("km"));

    // --- Graph -------------------------------------------------------------------
    // Beside the lunar distance, just above the chart it sets.
    Frame3 = group(central, "Frame3", QString(), {618, 196, 154, 74});
    Text11 = makeControl<QLineEdit>(Frame3, "Text11", {98, 28, 36, 24});
    Text11->setAlignment(Qt::AlignCenter);
    caption(Frame3, "LabelGraphDays", tr("&Graph days"), {6, 28, 90, 24}, Text11);
    UpDown3 = makeControl<UpDown>(Frame3, "UpDown3", {135, 28, 16, 24});

    // --- Tides, beside the day's values -----------------------------------------
    FrameTides = group(central, "FrameTides", tr("Tides"), {780, 60, 222, 210});
    LabelTideStation = makeControl<QLabel>(FrameTides, "LabelTideStation", {10, 16, 204, 54});
    LabelTideStation->setWordWrap(true);
    LabelTideStation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabelTideEvents = makeControl<QLabel>(FrameTides, "LabelTideEvents", {10, 72, 204, 102});
    LabelTideEvents->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabelTideEvents->setWordWrap(true);
    LabelTideNow = makeControl<QLabel>(FrameTides, "LabelTideNow", {10, 178, 106, 24});
    LabelTideNow->setFont(boldCaption);
    CommandTideStation = makeControl<QPushButton>(FrameTides, "CommandTideStation", {120, 176, 94, 28});
    // Every letter of "Station" has its key in this window already: the
    // Settings menu's "Tide Stat&ion..." is its key.
    CommandTideStation->setText(tr("Station..."));
    CommandTideStation->setAccessibleName(tr("Tide station"));

    // --- The day at a glance, where the eye goes from the values -------------------
    PictureDay = makeControl<DayGlance>(central, "PictureDay", {8, 274, 994, 84});

    MSChart1 = makeControl<ChartWidget>(central, "MSChart1", {8, 362, 994, 232});
    MSChart1->setAxisTitles(tr("Future Dates"), tr("Prediction %"));
    Text18 = readOnlyBox(central, "Text18", {20, 368, 104, 22});
    Text18->setText(tr("Selected Date:"));
    Text3 = readOnlyBox(central, "Text3", {126, 368, 96, 22});
    // Shown only while the chart has the focus, so no Tab stops: leaving the
    // chart hides them. The chart says the selected day itself.
    Text18->setFocusPolicy(Qt::NoFocus);
    Text3->setFocusPolicy(Qt::NoFocus);
    Text18->hide();
    Text3->hide();
    // Beside the selected date, where the place has tides: that day's range.
    TextTideRange = readOnlyBox(central, "TextTideRange", {224, 368, 150, 22});
    TextTideRange->setFocusPolicy(Qt::NoFocus);
    TextTideRange->hide();

    // --- The settings frame, beneath the chart ------------------------------------
    Frame9 = makeControl<QFrame>(central, "Frame9", {8, 362, 994, 232});
    Frame9->setFrameShape(QFrame::StyledPanel);
    Frame9->hide();
    // The location: found by name (which fills everything below), or typed.
    auto* location = group(Frame9, "Frame10", tr("Location"), {8, 4, 250, 108});
    TextFindPlace = makeControl<QLineEdit>(location, "TextFindPlace", {92, 22, 150, 24});
    TextFindPlace->setPlaceholderText(tr("Town or city"));
    TextFindPlace->setAccessibleName(tr("Find place"));
    TextFindPlace->setClearButtonEnabled(true);
    LabelFindPlace =
        caption(location, "LabelFindPlace", tr("&Find place:"), {8, 22, 82, 24}, TextFindPlace);
    // Two short lines: what to do, or why nothing can be found.
    LabelPlaceNote = makeControl<QLabel>(location, "LabelPlaceNote", {8, 46, 236, 28});
    LabelPlaceNote->setWordWrap(true);
    LabelPlaceNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont note = LabelPlaceNote->font();
    note.setPointSizeF(note.pointSizeF() * 0.85);
    LabelPlaceNote->setFont(note);
    // Its grey follows the desktop's palette (followPalette).
    Combo3 = makeControl<QComboBox>(location, "Combo3", {8, 76, 118, 26});
    Combo3->setEditable(true);
    Combo3->setInsertPolicy(QComboBox::NoInsert);
    Command8 = makeControl<QPushButton>(location, "Command8", {128, 75, 54, 28});
    Command8->setText(tr("Sa&ve"));
    Command9 = makeControl<QPushButton>(location, "Command9", {184, 75, 60, 28});
    Command9->setText(tr("&Delete"));

    auto* latitude = group(Frame9, "Frame11", tr("Latit&ude"), {8, 116, 250, 52});
    Text30 = makeControl<QLineEdit>(latitude, "Text30", {10, 22, 36, 24});
    UpDown9 = makeControl<UpDown>(latitude, "UpDown9", {47, 22, 16, 24});
    caption(latitude, "LabelLatDegrees", QStringLiteral("°"), {66, 22, 10, 24});
    Text20 = makeControl<QLineEdit>(latitude, "Text20", {82, 22, 36, 24});
    UpDown6 = makeControl<UpDown>(latitude, "UpDown6", {119, 22, 16, 24});
    caption(latitude, "LabelLatMinutes", QStringLiteral("'"), {138, 22, 10, 24});
    Text40 = makeControl<QLineEdit>(latitude, "Text40", {156, 22, 28, 24});
    UpDown10 = makeControl<UpDown>(latitude, "UpDown10", {185, 22, 16, 24});

    auto* longitude = group(Frame9, "Frame12", tr("Lo&ngitude"), {8, 172, 250, 52});
    Text15 = makeControl<QLineEdit>(longitude, "Text15", {10, 22, 36, 24});
    UpDown7 = makeControl<UpDown>(longitude, "UpDown7", {47, 22, 16, 24});
    caption(longitude, "LabelLonDegrees", QStringLiteral("°"), {66, 22, 10, 24});
    Text14 = makeControl<QLineEdit>(longitude, "Text14", {82, 22, 36, 24});
    UpDown8 = makeControl<UpDown>(longitude, "UpDown8", {119, 22, 16, 24});
    caption(longitude, "LabelLonMinutes", QStringLiteral("'"), {138, 22, 10, 24});
    Text13 = makeControl<QLineEdit>(longitude, "Text13", {156, 22, 28, 24});
    UpDown5 = makeControl<UpDown>(longitude, "UpDown5", {185, 22, 16, 24});
    for (QLineEdit* box : {Text30, Text20, Text40, Text15, Text14, Text13}) {
        box->setAlignment(Qt::AlignCenter);
    }

    auto* zone = group(Frame9, "Frame13", tr("Time Zone"), {266, 4, 250, 140});
    Text17 = makeControl<QLineEdit>(zone, "Text17", {70, 22, 46, 24});
    Text17->setAlignment(Qt::AlignCenter);
    caption(zone, "LabelGmt", tr("G.M.T"), {8, 22, 48, 24}, Text17);
    Label17 = makeControl<QLabel>(zone, "Label17", {56, 22, 14, 24});
    Label17->setText(QStringLiteral("+"));
    levelWithTextBox(Label17);
    UpDown11 = makeControl<UpDown>(zone, "UpDown11", {117, 22, 16, 24});
    // The zone by name, searched by any part of it ("sydney" finds
    // "Australia/Sydney"); only its items are accepted.
    Combo4 = makeControl<QComboBox>(zone, "Combo4", {58, 52, 182, 24});
    Combo4->setEditable(true);
    Combo4->setInsertPolicy(QComboBox::NoInsert);
    Combo4->setMaxVisibleItems(16);
    Combo4->addItem(tr("(none)"));
    QList<QByteArray> zoneIds = QTimeZone::availableTimeZoneIds();
    std::sort(zoneIds.begin(), zoneIds.end());
    for (const QByteArray& id : zoneIds)
        Combo4->addItem(QString::fromUtf8(id));
    auto* search = new QCompleter(Combo4->model(), Combo4);
    search->setCaseSensitivity(Qt::CaseInsensitive);
    search->setFilterMode(Qt::MatchContains);
    search->setCompletionMode(QCompleter::PopupCompletion);
    search->setMaxVisibleItems(12);
    Combo4->setCompleter(search);
    caption(zone, "LabelZoneName", tr("&Zone"), {10, 52, 44, 24}, Combo4);
    Text16 = makeControl<QLineEdit>(zone, "Text16", {10, 82, 230, 24});
    Text16->setReadOnly(true);
    Check3 = makeControl<QCheckBox>(zone, "Check3", {6, 110, 243, 24});
    Check3->setText(tr("Auto Daylight Savings Adjust"));

    Frame8 = group(Frame9, "Frame8", tr("System Tray Icons"), {266, 148, 250, 58});
    Check1 = makeControl<QCheckBox>(Frame8, "Check1", {10, 18, 230, 18});
    Check1->setText(tr("Show Moon Phase Icon"));
    Check2 = makeControl<QCheckBox>(Frame8, "Check2", {10, 36, 230, 18});
    Check2->setText(tr("Show Fish Prediction Icon"));

    Frame4 = group(Frame9, "Frame4", tr("Fish Alarm Condition"), {520, 4, 238, 54});
    Option1 = makeControl<QRadioButton>(Frame4, "Option1", {10, 22, 100, 24});
    Option1->setText(tr("&Activated"));
    Option2 = makeControl<QRadioButton>(Frame4, "Option2", {110, 22, 124, 24});
    Option2->setText(tr("Deact&ivated"));

    // The caption above the list, which needs the group's width for its longest item.
    Frame7 = group(Frame9, "Frame7", tr("Alarm Settings"), {520, 62, 238, 108});
    Combo2 = makeControl<QComboBox>(Frame7, "Combo2", {8, 44, 222, 24});
    Combo2->addItems({tr("Excellent Days"), tr("Good & Excellent Days"),
                      tr("Fair To Excellent Days"), tr("All Days")});
    LabelWarnOn = makeControl<QLabel>(Frame7, "LabelWarnOn", {8, 20, 222, 22});
    LabelWarnOn->setText(tr("Warn on:"));
    Text12 = makeControl<QLineEdit>(Frame7, "Text12", {10, 76, 36, 24});
    Text12->setAlignment(Qt::AlignCenter);
    UpDown4 = makeControl<UpDown>(Frame7, "UpDown4", {47, 76, 16, 24});
    LabelDaysInAdvance = makeControl<QLabel>(Frame7, "LabelDaysInAdvance", {70, 76, 150, 24});
    LabelDaysInAdvance->setText(tr("Days in Advance"));
    levelWithTextBox(LabelDaysInAdvance);

    Command2 = makeControl<QPushButton>(Frame9, "Command2", {520, 194, 56, 30});
    Command2->setText(tr("Appl&y "));
    Command4 = makeControl<QPushButton>(Frame9, "Command4", {580, 194, 50, 30});
    Command4->setText(tr("&Ok"));
    Command5 = makeControl<QPushButton>(Frame9, "Command5", {634, 194, 64, 30});
    Command5->setText(tr("&Cancel"));
    Command6 = makeControl<QPushButton>(Frame9, "Command6", {702, 194, 56, 30});
    Command6->setText(tr("He&lp"));

    // The towns found, dropped over the boxes below the search (which a pick
    // fills) and wide enough for a name, its region, country and zone.
    ListPlaces = makeControl<QListWidget>(Frame9, "ListPlaces", {92, 50, 440, 152});
    ListPlaces->setAccessibleName(tr("Places found"));
    ListPlaces->setUniformItemSizes(true);
    ListPlaces->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListPlaces->setTextElideMode(Qt::ElideMiddle);
    ListPlaces->hide();

    // --- Commands ---------------------------------------------------------------------
    Command1 = makeControl<QPushButton>(central, "Command1", {830, 600, 82, 30});
    Command1->setText(tr("&Journal"));
    Command3 = makeControl<QPushButton>(central, "Command3", {920, 600, 82, 30});
    Command3->setText(tr("&Exit"));
    nameForReaders();
}

void Form1::nameForReaders() {
    // The boxes are named by the captions beside them; the group box alone
    // would make all four periods "Solunar periods".
    const std::pair<QWidget*, QString> names[] = {
        {Text1, tr("Day")},
        {Combo1, tr("Month")},
        {Text10, tr("Year")},
        {Text2, tr("Sunrise")},
        {Text32, tr("Sunset")},
        {Text6, tr("Length of Day, Hrs : Min")},
        {Text21, tr("Moonrise")},
        {Text39, tr("Moonset")},
        {Text9, tr("Age (days)")},
        {Text4, tr("Major, Moon above")},
        {Text5, tr("Major, Moon below")},
        {Text7, tr("Minor, Moon above")},
        {Text8, tr("Minor, Moon below")},
        {Text11, tr("Graph days")},
        {Text18, tr("Selected Date caption")},
        {Text3, tr("Selected Date")},
        {MSChart1, tr("Prediction graph")},
        {Combo3, tr("Location name")},
        {Text30, tr("Latitude degrees")},
        {Text20, tr("Latitude minutes")},
        {Text40, tr("Latitude N or S")},
        {Text15, tr("Longitude degrees")},
        {Text14, tr("Longitude minutes")},
        {Text13, tr("Longitude E or W")},
        {Text17, tr("G.M.T")},
        {Combo4, tr("Zone")},
        {Text16, tr("Computer time zone")},
        {Combo2, tr("Warn on")},
        {Text12, tr("Days in Advance")},
        {Picture2, tr("Fishing prediction")},
        {Image5, tr("Fishing prediction picture")},
        {Image3, tr("Moon phase")},
        {Image1, tr("Lunar distance scale")},
        {Image2, tr("Lunar distance marker")},
    };
    for (const auto& [widget, name] : names)
        widget->setAccessibleName(name);
    // An editable list's text box is a control of its own to a reader.
    for (QComboBox* combo : {Combo3, Combo4})
        combo->lineEdit()->setAccessibleName(combo->accessibleName());
    const std::pair<UpDown*, QString> spinners[] = {
        {UpDown1, tr("Day")},
        {UpDown2, tr("Year")},
        {UpDown3, tr("Graph days")},
        {UpDown9, tr("Latitude degrees")},
        {UpDown6, tr("Latitude minutes")},
        {UpDown10, tr("Latitude N or S")},
        {UpDown7, tr("Longitude degrees")},
        {UpDown8, tr("Longitude minutes")},
        {UpDown5, tr("Longitude E or W")},
        {UpDown11, tr("G.M.T")},
        {UpDown4, tr("Days in Advance")},
    };
    for (const auto& [spinner, name] : spinners)
        spinner->setCaption(name);
}

void Form1::setTabChain() {
    // The frame's controls sit where the chart is, which the frame replaces.
    // Each spinner follows its box: Tab passes it by, but from a spinner that
    // was clicked, Tab goes on to the next box. The day's values follow the
    // date row, frame by frame, as they are read.
    QWidget* const chain[] = {
        Combo1,   Text1,    UpDown1,  Text10,        UpDown2,    Command7, Text2,    Text32,
        Text6,    Text21,   Text39,   Text9,         Text4,      Text5,    Text7,    Text8,
        CommandTideStation, Text11,   UpDown3,  MSChart1, TextFindPlace, ListPlaces, Combo3,   Command8, Command9,
        Text30,   UpDown9,  Text20,   UpDown6,       Text40,     UpDown10, Text15,   UpDown7,
        Text14,   UpDown8,  Text13,   UpDown5,       Text17,     UpDown11, Combo4,   Text16,
        Check3,   Option1,  Option2,  Combo2,        Text12,     UpDown4,  Check1,   Check2,
        Command2, Command4, Command5, Command6,      Command1,   Command3};
    for (std::size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void Form1::buildMenus() {
    // The program's own menu first, as desktop programs have it: the day, the
    // journal, printing and Quit, each with its key shown beside it.
    mnuMoonbite = menuBar()->addMenu(tr("&Moonbite"));
    mnuMoonbite->setObjectName(QStringLiteral("mnuMoonbite"));

    mnuGraphs = menuBar()->addMenu(tr("G&raphs"));
    mnuGraphs->setObjectName(QStringLiteral("mnuGraphs"));
    static constexpr const char* kChartNames[8] = {"mnu3dbar",  "mnu2dbar",  "mn3dline",
                                                   "mnu2dline", "mnu3darea", "mnu2darea",
                                                   "mnu3dstep", "mnu2dstep"};
    const QString captions[8] = {tr("&3D Bar"),  tr("&2D Bar"),  tr("3&D Line"), tr("2D &Line"),
                                 tr("3D &Area"), tr("2D A&rea"), tr("3D &Step"), tr("2D S&tep")};
    // One of eight: the group draws them as radio items.
    auto* chartTypes = new QActionGroup(this);
    chartTypes->setObjectName(QStringLiteral("chartTypes"));
    chartTypes->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (int i = 0; i < 8; ++i) {
        mnuChart[i] = mnuGraphs->addAction(captions[i]);
        mnuChart[i]->setObjectName(QString::fromLatin1(kChartNames[i]));
        mnuChart[i]->setCheckable(true);
        chartTypes->addAction(mnuChart[i]);
        connect(mnuChart[i], &QAction::triggered, this, [this, i] { mnuChartType(i); });
    }
    mnuGraphs->addSeparator();
    mnubackcol = mnuGraphs->addAction(tr("&Background Color"));
    mnubackcol->setObjectName(QStringLiteral("mnubackcol"));

    mnuSettings = menuBar()->addMenu(tr("&Settings"));
    mnuSettings->setObjectName(QStringLiteral("mnuSettings"));
    mnualarm = mnuSettings->addAction(tr("&Program Settings"));
    mnualarm->setObjectName(QStringLiteral("mnualarm"));
    mnuregional = mnuSettings->addAction(tr("R&egional Settings"));
    mnuregional->setObjectName(QStringLiteral("mnuregional"));
    mnuSettings->addSeparator();
    mnudaterep = mnuSettings->addAction(tr("&Date Representation"));
    mnudaterep->setObjectName(QStringLiteral("mnudaterep"));
    mnurevmoon = mnuSettings->addAction(tr("&Reverse Moon Image"));
    mnurevmoon->setObjectName(QStringLiteral("mnurevmoon"));
    mnuSettings->addSeparator();
    mnutextip = mnuSettings->addAction(tr("Show &Text Tips"));
    mnutextip->setObjectName(QStringLiteral("mnutextip"));
    mnutextip->setCheckable(true);
    mnuSettings->addSeparator();
    mnutidestation = mnuSettings->addAction(tr("Tide Stat&ion..."));
    mnutidestation->setObjectName(QStringLiteral("mnutidestation"));
    connect(mnutidestation, &QAction::triggered, this, &Form1::CommandTideStation_Click);

    mnuhelp = menuBar()->addMenu(tr("&Help"));
    mnuhelp->setObjectName(QStringLiteral("mnuhelp"));
    mnuhelptopics = mnuhelp->addAction(tr("&Help Topics"));
    mnuhelptopics->setObjectName(QStringLiteral("mnuhelptopics"));
    mnuhelp->addSeparator();
    mnuabout = mnuhelp->addAction(tr("&About"));
    mnuabout->setObjectName(QStringLiteral("mnuabout"));
}

void Form1::buildShortcuts() {
    auto item = [this](const char* name, const QString& caption,
                       const QList<QKeySequence>& keys, auto handler) {
        QAction* action = mnuMoonbite->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    // A text box keeps Home for its cursor; elsewhere it goes to today.
    item("actionToday", tr("&Today"), {QKeySequence(Qt::Key_Home)}, [this] { Command7_Click(); });
    item("actionPreviousDay", tr("P&revious Day"),
         {QKeySequence(Qt::ALT | Qt::Key_Left), QKeySequence(Qt::Key_PageUp)},
         [this] { UpDown1->clickDown(); });
    item("actionNextDay", tr("&Next Day"),
         {QKeySequence(Qt::ALT | Qt::Key_Right), QKeySequence(Qt::Key_PageDown)},
         [this] { UpDown1->clickUp(); });
    mnuMoonbite->addSeparator();
    item("actionJournal", tr("&Journal"), {QKeySequence(Qt::CTRL | Qt::Key_J)},
         [this] { Command1_Click(); });
    mnuprintcal = mnuMoonbite->addAction(tr("&Print Calendar"));  // connected with the handlers
    mnuprintcal->setObjectName(QStringLiteral("mnuprintcal"));
    mnuprintcal->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuMoonbite->addSeparator();
    item("actionQuit", tr("&Quit"), {QKeySequence(Qt::CTRL | Qt::Key_Q)}, [this] { close(); });

    // F1 opens the help at what the window shows: the settings' page while
    // the frame is open. The menu item shows the key but always opens the
    // contents, as its caption says.
    mnuhelptopics->setText(tr("&Help Topics") + QLatin1Char('\t') +
                           QKeySequence(QKeySequence::HelpContents)
                               .toString(QKeySequence::NativeText));
    auto* help = new QAction(this);
    help->setObjectName(QStringLiteral("actionContextHelp"));
    help->setShortcuts(QKeySequence::HelpContents);
    addAction(help);
    connect(help, &QAction::triggered, this, [this] {
        if (services_.openHelp) services_.openHelp(Frame9->isVisible() ? 10 : 11);
    });

    // Owned by the frame, so it is live only while the frame is shown.
    auto* cancel = new QShortcut(QKeySequence(Qt::Key_Escape), Frame9);
    cancel->setContext(Qt::WindowShortcut);
    connect(cancel, &QShortcut::activated, this, [this] {
        // Escape in the search first closes the towns found, as before.
        if (ListPlaces->isVisible()) {
            closePlaceList();
            TextFindPlace->setFocus(Qt::ShortcutFocusReason);
            return;
        }
        Command5_Click();
    });
}

void Form1::tooltipsshow() {
    Dateframe->setToolTip(QStringLiteral("Displayed date for which data has been calculated."));
    Frame3->setToolTip(QStringLiteral("Sets number of days ahead you wish the graph to read."));
    Frame1->setToolTip(QStringLiteral(
        "Displays the distance the Moon this from the Earth, therefore the amount of influence the "
        "Moon has on Earth."));
    Command1->setToolTip(
        QStringLiteral("Displays fishing journal which allows you to keep records."));
    MSChart1->setToolTip(
        QStringLiteral("Graph displaying fishing day predictions ahead, up to the value displayed "
                       "in graph days."));
    Image5->setToolTip(QStringLiteral("Displayed date fishing prediction : ") +
                       QString::fromUtf8(state_.predictionWord.c_str()));
    Image3->setToolTip(QStringLiteral("Displayed date Moon phase"));
    Text4->setToolTip(
        QStringLiteral("Displayed date major fishing time when Moon is above the observer."));
    Text5->setToolTip(
        QStringLiteral("Displayed date major fishing time when Moon is below the observer."));
    Text7->setToolTip(
        QStringLiteral("Displayed date minor fishing time when Moon is above the observer."));
    Text8->setToolTip(
        QStringLiteral("Displayed date minor fishing time when Moon is below the observer."));
    Text6->setToolTip(
        QStringLiteral("Length of day in hours & minutes between sunrise and sunset."));
    Text2->setToolTip(QStringLiteral("Displayed date Sunrise."));
    Text32->setToolTip(QStringLiteral("Displayed date Sunset."));
    Text21->setToolTip(QStringLiteral("Displayed date Moonrise."));
    Text39->setToolTip(QStringLiteral("Displayed date Moonset."));
    Text9->setToolTip(QStringLiteral("Age of Moon in days from New Moon."));
    Label13->setToolTip(QStringLiteral("Distance from Earth in Kilometers."));
    Image1->setToolTip(QStringLiteral(
        "Displays the distance the Moon this from the Earth, therefore the amount of influence the "
        "moon has on the Earth."));
    Label19->setToolTip(QStringLiteral(
        "Fishing on days of the solstice or equinox can be the most productive days of the year."));
    Frame4->setToolTip(QStringLiteral("Selects whether alarm is activated or not."));
    Frame7->setToolTip(QStringLiteral("Select type of day and how many days in advance."));
    Frame8->setToolTip(QStringLiteral(
        "Displays icons in taskbar tray area. Settings take effect when applied, and the "
        "icons come back at each login."));
    Check3->setToolTip(
        QStringLiteral("Adjusts for daylight savings automatically when and where applicable."));
    Text30->setToolTip(QStringLiteral("Enter latitude degrees."));
    Text20->setToolTip(QStringLiteral("Enter Latitude minutes"));
    Text40->setToolTip(QStringLiteral("Select between Northern or Southern Hemisphere."));
    Text15->setToolTip(QStringLiteral("Enter Longitude degrees."));
    Text14->setToolTip(QStringLiteral("Enter Longitude minutes."));
    Text13->setToolTip(QStringLiteral("Select between west or east of Greenwich, England."));
    Text17->setToolTip(QStringLiteral("Enter G.M.T variation from Greenwich, England."));
    Text16->setToolTip(QStringLiteral("Displayed Computer settings local Time Zone."));
    Combo4->setToolTip(QStringLiteral(
        "Select the location's time zone by name (type any part of it to search, for example "
        "\"sydney\"). Each date's times then follow that zone's clocks, daylight saving "
        "included. (none): the G.M.T value is used for every date."));
    Command2->setToolTip(QStringLiteral("Click to apply changes to program settings."));
    Command5->setToolTip(QStringLiteral("Click to close window without applying any changes."));
    Command4->setToolTip(
        QStringLiteral("Click to apply changes and close program settings window."));
}

void Form1::tooltipss() {
    for (QWidget* w : {static_cast<QWidget*>(Dateframe), static_cast<QWidget*>(Frame3),
                       static_cast<QWidget*>(Frame1),    static_cast<QWidget*>(Command1),
                       static_cast<QWidget*>(MSChart1),  static_cast<QWidget*>(Image5),
                       static_cast<QWidget*>(Image3),    static_cast<QWidget*>(Text4),
                       static_cast<QWidget*>(Text5),     static_cast<QWidget*>(Text7),
                       static_cast<QWidget*>(Text8),     static_cast<QWidget*>(Text6),
                       static_cast<QWidget*>(Text2),     static_cast<QWidget*>(Text32),
                       static_cast<QWidget*>(Text21),    static_cast<QWidget*>(Text39),
                       static_cast<QWidget*>(Text9),     static_cast<QWidget*>(Label13),
                       static_cast<QWidget*>(Image1),    static_cast<QWidget*>(Label19),
                       static_cast<QWidget*>(Frame4),    static_cast<QWidget*>(Frame7),
                       static_cast<QWidget*>(Frame8),    static_cast<QWidget*>(Check3),
                       static_cast<QWidget*>(Text30),    static_cast<QWidget*>(Text20),
                       static_cast<QWidget*>(Text40),    static_cast<QWidget*>(Text15),
                       static_cast<QWidget*>(Text14),    static_cast<QWidget*>(Text13),
                       static_cast<QWidget*>(Text17),    static_cast<QWidget*>(Text16),
                       static_cast<QWidget*>(Combo4),    static_cast<QWidget*>(Command2),
                       static_cast<QWidget*>(Command5),  static_cast<QWidget*>(Command4)}) {
        w->setToolTip(QString());
    }
}

}  // namespace moonbite
