// The fishing journal window. Controls use absolute geometry at the design
// size (pixels, 15 twips each) so the resizer can scale them with the window.
#include "journal_window.h"
#include "make_control.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "calendar_time.h"
#include "journal_file.h"
#include "message_boxes.h"
#include "moon_pictures.h"
#include "solunar_day.h"
#include "updown.h"
#include "window_fit.h"
#include "zone_rule.h"

namespace moonbite {
namespace {

constexpr int kDesignWidth = 620;
constexpr int kDesignHeight = 460;
constexpr int kDateTop = 26;

// Left edges of the date boxes and their captions, twips, for each date order.
struct DatePositions {
    int text1, text13, label22, label21;
};
constexpr DatePositions kMonthFirst{1170, 645, 1275, 750};
constexpr DatePositions kDayFirst{645, 1170, 750, 1275};

// Named, so that the resizer moves it with its box.
QLabel* caption(QWidget* parent, const char* name, const QString& text, QRect geometry,
                QWidget* buddy = nullptr) {
    auto* label = makeControl<QLabel>(parent, name, geometry);
    label->setText(text);
    if (buddy != nullptr) label->setBuddy(buddy);
    return label;
}

QComboBox* editableCombo(QWidget* parent, const char* name, QRect geometry,
                         const QStringList& items) {
    auto* combo = makeControl<QComboBox>(parent, name, geometry);
    combo->setEditable(true);
    // Typed values belong to the entry, not to the list.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    return combo;
}

QString q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

double valOf(const QString& text) {
    return Val(text.toStdString());
}

QString numberString(double value) {
    Text t;
    numberText(t, value);
    return q(t);
}

// A designator of the trip time box at text[at]: its length, or 0.
qsizetype designatorAt(const QString& text, qsizetype at, const QString& word) {
    if (word.isEmpty() || !text.mid(at).startsWith(word, Qt::CaseInsensitive)) return 0;
    // "6 amber" is not a morning.
    const qsizetype end = at + word.size();
    if (end < text.size() && text[end].isLetter() && word.back().isLetter()) return 0;
    return word.size();
}

int entryNumberFrom(double value) {
    if (!(value > -1e9 && value < 1e9)) return value > 0 ? kMaxJournalEntry + 1 : 0;
    return static_cast<int>(std::lround(value));
}

}  // namespace

std::optional<int> tripTimeMinute(const QString& text, const ClockDesignators& designators) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i].isSpace())
        ++i;
    auto digits = [&](qsizetype most, int& value) {
        const qsizetype from = i;
        value = 0;
        while (i < n && i - from < most && text[i] >= QLatin1Char('0') &&
               text[i] <= QLatin1Char('9'))
            value = value * 10 + (text[i++].unicode() - '0');
        return i - from;
    };
    int hour = 0;
    if (digits(2, hour) == 0) return std::nullopt;
    if (i < n && text[i].isDigit()) return std::nullopt;  // "0630", "2026": no clock time
    int minute = 0;
    bool hasMinutes = false;
    if (i + 1 < n && (text[i] == QLatin1Char(':') || text[i] == QLatin1Char('.')) &&
        text[i + 1].isDigit()) {
        ++i;
        if (digits(2, minute) != 2 || (i < n && text[i].isDigit())) return std::nullopt;
        hasMinutes = true;
    }
    qsizetype afterTime = i;
    while (i < n && text[i].isSpace())  // a locale's clock may put a narrow no-break space
        ++i;
    int half = -1;  // 0 morning, 1 afternoon
    const std::pair<QString, int> words[] = {
        {QString::fromUtf8(designators.am.view().data(),
                           static_cast<qsizetype>(designators.am.view().size())),
         0},
        {QString::fromUtf8(designators.pm.view().data(),
                           static_cast<qsizetype>(designators.pm.view().size())),
         1},
        {QStringLiteral("a.m."), 0},
        {QStringLiteral("p.m."), 1},
        {QStringLiteral("am"), 0},
        {QStringLiteral("pm"), 1},
        {QStringLiteral("a"), 0},
        {QStringLiteral("p"), 1}};
    for (const auto& [word, which] : words) {
        if (const qsizetype length = designatorAt(text, i, word); length > 0) {
            half = which;
            i += length;
            afterTime = i;
            break;
        }
    }
    // What follows the time may be the rest of a range, never more of a word or number.
    if (afterTime < n && text[afterTime].isLetterOrNumber()) return std::nullopt;
    if (minute > 59) return std::nullopt;
    if (half < 0) {
        // A bare number is not a time of day.
        if (!hasMinutes || hour > 23) return std::nullopt;
        return hour * 60 + minute;
    }
    if (hour < 1 || hour > 12) return std::nullopt;
    return (hour % 12 + 12 * half) * 60 + minute;
}

Instant instantAtClock(const SolunarState& s, Date date, int minuteOfDay) {
    const Instant reading = instantOf(date) + Instant{minuteOfDay} * 60;
    const DayOffsets offsets = offsetsDuring(s, date);
    Instant found = kNoInstant;
    Instant latest = kNoInstant;
    for (int k = 0; k < offsets.count; ++k) {
        const Instant t = reading - zoneSeconds(offsets.hours[static_cast<std::size_t>(k)]);
        latest = std::max(latest, t);
        if (clockReading(s, t) != reading) continue;
        if (found == kNoInstant || t < found) found = t;
    }
    // A time the clocks jump over: read with the offset before the jump.
    return found != kNoInstant ? found : latest;
}

Form3::Form3(JournalServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)) {
    buildControls();
    Form_Load();
    fitWhenShown(*this, this, QSize(kDesignWidth, kDesignHeight));
}

Form3::~Form3() = default;

void Form3::buildControls() {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(tr("Fishing Journal"));
    resize(kDesignWidth, kDesignHeight);

    // --- Date and entry number ------------------------------------------------
    caption(this, "Label1", tr("Date"), {5, kDateTop, 38, 24});
    Label22 = makeControl<QLabel>(this, "Label22", {50, 6, 20, 18});
    Label22->setText(tr("D"));
    Label21 = makeControl<QLabel>(this, "Label21", {85, 6, 20, 18});
    Label21->setText(tr("M"));
    Text1 = makeControl<QLineEdit>(this, "Text1", {43, kDateTop, 32, 24});
    Text13 = makeControl<QLineEdit>(this, "Text13", {78, kDateTop, 32, 24});
    Text14 = makeControl<QLineEdit>(this, "Text14", {115, kDateTop, 50, 24});
    caption(this, "Label23", tr("Y"), {127, 6, 20, 18});
    for (QLineEdit* box : {Text1, Text13, Text14})
        box->setAlignment(Qt::AlignCenter);
    Text1->setText(QStringLiteral("25"));
    Text13->setText(QStringLiteral("3"));
    Text14->setText(QStringLiteral("1999"));

    Text8 = makeControl<QLineEdit>(this, "Text8", {478, kDateTop, 60, 24});
    Text8->setAlignment(Qt::AlignCenter);
    Text8->setText(QStringLiteral("1"));
    caption(this, "Label2", tr("Entry No."), {400, kDateTop, 74, 24}, Text8);
    Command4 = makeControl<QPushButton>(this, "Command4", {546, kDateTop - 1, 30, 26});
    Command4->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    Command4->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    Command4->setAccessibleName(tr("Previous entry"));
    Command5 = makeControl<QPushButton>(this, "Command5", {580, kDateTop - 1, 30, 26});
    Command5->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    Command5->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    Command5->setAccessibleName(tr("Next entry"));

    // --- Notes ----------------------------------------------------------------------
    Text200 = makeControl<QPlainTextEdit>(this, "Text200", {8, 76, 604, 90});
    Text200->setTabChangesFocus(true);
    Text200->setPlainText(tr("Notes and comments on fish caught."));
    caption(this, "Label3", tr("Notes:"), {8, 56, 80, 18}, Text200);

    // --- Conditions and catch ----------------------------------------------------------
    auto* conditions = makeControl<QGroupBox>(this, "Frame1", {8, 172, 604, 116});
    conditions->setTitle(tr("Trip"));
    Text4 = makeControl<QLineEdit>(conditions, "Text4", {80, 22, 128, 24});
    Text4->setText(QStringLiteral("10:00am - 02:00pm"));
    caption(conditions, "Label4", tr("Trip Time"), {8, 22, 70, 24}, Text4);
    Combo1 =
        editableCombo(conditions, "Combo1", {80, 52, 128, 24},
                      {tr("North"), tr("North East"), tr("East"), tr("South East"), tr("South"),
                       tr("South West"), tr("West"), tr("North West"), tr("None"), tr("Variable")});
    caption(conditions, "Label5", tr("Wind"), {8, 52, 70, 24}, Combo1);
    Combo2 =
        editableCombo(conditions, "Combo2", {80, 82, 128, 24},
                      {tr("Rising 1/3"), tr("Rising 2/3"), tr("Rising 3/3"), tr("Slack High"),
                       tr("Falling 1/3"), tr("Falling 2/3"), tr("Falling 3/3"), tr("Slack Low")});
    caption(conditions, "Label6", tr("Tide"), {8, 82, 70, 24}, Combo2);

    Text3 = makeControl<QLineEdit>(conditions, "Text3", {312, 22, 60, 24});
    Text3->setText(QStringLiteral("10"));
    UpDown1 = makeControl<UpDown>(conditions, "UpDown1", {373, 22, 16, 24});
    caption(conditions, "Label7", tr("Temperature"), {212, 22, 98, 24}, Text3);
    Text6 = makeControl<QLineEdit>(conditions, "Text6", {312, 52, 60, 24});
    Text6->setText(QStringLiteral("25"));
    UpDown3 = makeControl<UpDown>(conditions, "UpDown3", {373, 52, 16, 24});
    caption(conditions, "Label8", tr("Strength"), {212, 52, 98, 24}, Text6);
    Text5 = makeControl<QLineEdit>(conditions, "Text5", {312, 82, 77, 24});
    Text5->setText(QStringLiteral("Spring"));
    caption(conditions, "Label9", tr("Tide Type"), {212, 82, 98, 24}, Text5);

    Text7 = makeControl<QLineEdit>(conditions, "Text7", {476, 22, 101, 24});
    Text7->setText(QStringLiteral("0"));
    UpDown4 = makeControl<UpDown>(conditions, "UpDown4", {578, 22, 16, 24});
    caption(conditions, "Label10", tr("Quantity"), {396, 22, 78, 24}, Text7);
    Combo3 = editableCombo(conditions, "Combo3", {476, 52, 118, 24},
                           {tr("Excellent"), tr("Good"), tr("Fair"), tr("Poor")});
    Combo3->setCurrentIndex(1);
    caption(conditions, "Label11", tr("Catch"), {396, 52, 78, 24}, Combo3);
    Text11 = makeControl<QLineEdit>(conditions, "Text11", {476, 82, 118, 24});
    Text11->setText(QStringLiteral("10.51am - 12.30pm"));
    caption(conditions, "Label12", tr("Best Time"), {396, 82, 78, 24}, Text11);

    // --- Place ------------------------------------------------------------------------------
    auto* place = makeControl<QGroupBox>(this, "Frame2", {8, 296, 300, 112});
    place->setTitle(tr("Place"));
    Text9 = makeControl<QLineEdit>(place, "Text9", {10, 44, 280, 24});
    Text9->setText(QStringLiteral("39' 12' 51.289"));
    caption(place, "Label13", tr("GPS or Place"), {10, 20, 200, 22}, Text9);
    Text10 = makeControl<QLineEdit>(place, "Text10", {10, 74, 280, 24});
    Text10->setText(QStringLiteral("145' 57' 33.567"));

    // --- Moon -------------------------------------------------------------------------------
    auto* moon = makeControl<QGroupBox>(this, "Frame3", {316, 296, 296, 112});
    moon->setTitle(tr("Moon"));
    Pictures1 = makeControl<QLabel>(moon, "Pictures1", {12, 24, 72, 72});
    Pictures1->setAlignment(Qt::AlignCenter);
    Pictures10 = makeControl<QLabel>(moon, "Pictures10", {96, 26, 40, 40});
    Pictures10->setFrameShape(QFrame::Box);
    Pictures10->setAutoFillBackground(true);
    Label16 = makeControl<QLabel>(moon, "Label16", {150, 34, 40, 24});
    Label16->setText(tr("Age"));
    Text12 = makeControl<QLineEdit>(moon, "Text12", {194, 34, 44, 24});
    Text12->setReadOnly(true);
    Text12->setAlignment(Qt::AlignCenter);
    // Read-only, yet a Tab stop, so a screen reader reaches the age.
    Text12->setFocusPolicy(Qt::StrongFocus);
    Text12->setText(QStringLiteral("29"));
    Label14 = makeControl<QLabel>(moon, "Label14", {96, 74, 192, 22});
    QFont bold = Label14->font();
    bold.setBold(true);
    Label14->setFont(bold);
    Label14->setText(QStringLiteral("Full Moon  12:20"));
    // Label17 carries the same event text for the place under the picture; the
    // bold caption beside it already shows it, so it stays out of sight.
    Label17 = makeControl<QLabel>(moon, "Label17", {12, 96, 72, 14});
    Label17->hide();

    // --- Buttons ----------------------------------------------------------------------------
    Command6 = makeControl<QPushButton>(this, "Command6", {8, 420, 110, 30});
    Command6->setText(tr("C&lear Entry"));
    Command1 = makeControl<QPushButton>(this, "Command1", {126, 420, 110, 30});
    Command1->setText(tr("&Save Entry"));
    Command3 = makeControl<QPushButton>(this, "Command3", {384, 420, 110, 30});
    Command3->setText(tr("&Help"));
    Command2 = makeControl<QPushButton>(this, "Command2", {502, 420, 110, 30});
    Command2->setText(tr("&Close"));
    nameForReaders();
    // Enter in the date boxes checks the date; it must not press a button too.
    for (QPushButton* b : {Command1, Command2, Command3, Command4, Command5, Command6}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form3::Command2_Click);
    // Ctrl+W and Escape close as "Close" does.
    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, &Form3::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form3::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form3::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form3::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form3::Command6_Click);
    for (QLineEdit* box : {Text1, Text13, Text14}) {
        connect(box, &QLineEdit::returnPressed, this, [this] {
            Command4->setFocus();
            dateentered();
        });
    }
    // Only the user's own typing or choice marks the Tide as chosen; the
    // window's own setEditText emits neither.
    connect(Combo2->lineEdit(), &QLineEdit::textEdited, this, [this] { tideChosen_ = true; });
    connect(Combo2, &QComboBox::activated, this, [this] { tideChosen_ = true; });
    connect(Text4, &QLineEdit::textChanged, this, &Form3::offerTide);
    connect(UpDown1, &UpDown::upClick, this, [this] { step(Text3, 1); });
    connect(UpDown1, &UpDown::downClick, this, [this] { step(Text3, -1); });
    connect(UpDown3, &UpDown::upClick, this, [this] { step(Text6, 1); });
    connect(UpDown3, &UpDown::downClick, this, [this] { step(Text6, -1); });
    connect(UpDown4, &UpDown::upClick, this, [this] { step(Text7, 1); });
    connect(UpDown4, &UpDown::downClick, this, [this] { step(Text7, -1); });

    // Leaving the date for any other field checks it, as Enter does.
    const QList<QWidget*> checkOnFocus{Text3,  Text4,   Text5,  Text6,  Text7,  Text9,  Text10,
                                       Text11, Text200, Combo1, Combo2, Combo3, UpDown1};
    for (QWidget* w : checkOnFocus)
        w->installEventFilter(this);
}

void Form3::nameForReaders() {
    const std::pair<QWidget*, QString> names[] = {
        {Text1, tr("Day")},
        {Text13, tr("Month")},
        {Text14, tr("Year")},
        {Text10, tr("GPS or Place, second line")},
        {Text12, tr("Moon age")},
        {Pictures1, tr("Moon phase")},
        {Pictures10, tr("Fishing prediction")},
    };
    for (const auto& [widget, name] : names)
        widget->setAccessibleName(name);
    // Each list's text box is a control of its own to a reader, named as its
    // list's caption names the list.
    const std::pair<QComboBox*, QString> lists[] = {
        {Combo1, tr("Wind")}, {Combo2, tr("Tide")}, {Combo3, tr("Catch")}};
    for (const auto& [combo, name] : lists)
        combo->lineEdit()->setAccessibleName(name);
    UpDown1->setCaption(tr("Temperature"));
    UpDown3->setCaption(tr("Strength"));
    UpDown4->setCaption(tr("Quantity"));
}

void Form3::Form_Load() {
    // The date boxes move first, so the resizer records them where they stay.
    placeDateFields();
    resizer_ = std::make_unique<Resizer>(scale_);
    resizer_->Resize(this);
    showTips();
    entno_ = entryNumberFrom(valOf(Text8->text()));
    readdata();
}

void Form3::placeDateFields() {
    const bool monthFirst = services_.state == nullptr || services_.state->dateOrderMonthFirst;
    const DatePositions& p = monthFirst ? kMonthFirst : kDayFirst;
    auto moveTo = [](QWidget* w, int twips) { w->move(twips / kTwipsPerPixel, w->y()); };
    moveTo(Text1, p.text1);
    moveTo(Text13, p.text13);
    moveTo(Label22, p.label22);
    moveTo(Label21, p.label21);
    // Tab follows the order the boxes are shown in.
    if (monthFirst) {
        setTabOrder(Text13, Text1);
        setTabOrder(Text1, Text14);
    } else {
        setTabOrder(Text1, Text13);
        setTabOrder(Text13, Text14);
    }
}

void Form3::showTips() {
    const bool on = services_.state == nullptr || services_.state->textTipsShown;
    auto tip = [on](QWidget* w, const QString& text) { w->setToolTip(on ? text : QString()); };
    tip(Text1, tr("Day of the trip"));
    tip(Text13, tr("Month of the trip (1-12)"));
    tip(Text14, tr("Year of the trip"));
    tip(Text8, tr("Entry number"));
    tip(Text200, tr("Notes on the trip and the fish caught"));
    tip(Text3, tr("Temperature"));
    tip(Text4, tr("When the trip started and ended"));
    tip(Text5, tr("Spring or neap tide"));
    tip(Text6, tr("Strength of the wind"));
    tip(Text7, tr("Number of fish caught"));
    tip(Combo1, tr("Wind direction"));
    tip(Combo2, tr("State of the tide"));
    tip(Combo3, tr("How good the catch was"));
    tip(Text9, tr("GPS mark or name of the place"));
    tip(Text10, tr("GPS mark or name of the place, continued"));
    tip(Text11, tr("When the fish bit best"));
    tip(Command1, tr("Save this entry"));
    tip(Command2, tr("Close the journal"));
    tip(Command3, tr("Help on the journal"));
    tip(Command4, tr("Previous entry"));
    tip(Command5, tr("Next entry"));
    tip(Command6, tr("Blank this entry to write a new one"));
    tip(Pictures1, tr("Moon phase on the trip date"));
    tip(Pictures10, tr("Fishing prediction on the trip date"));
    tip(Text12, tr("Age of the Moon in days from New Moon"));
}

void Form3::message(const QString& text, const QString& title, int icon) {
    if (services_.boxes != nullptr)
        services_.boxes->show(this, text, title, static_cast<MessageBoxes::Icon>(icon));
}

void Form3::readdata() {
    // A page read from its file keeps what the file says; a blank one is new.
    newPage_ = false;
    showTideTip(QString());
    const QDate today = services_.today ? services_.today() : QDate::currentDate();
    Text14->setText(QString::number(today.year()));
    Text13->setText(QString::number(today.month()));

    const JournalReadResult r = readJournalEntry(services_.folder, entno_);
    if (r.status != JournalReadStatus::Ok) {
        if (r.status == JournalReadStatus::Broken) {
            // A damaged file is reported, never quietly shown as an empty page.
            const QString file =
                QDir::toNativeSeparators(journalFilePath(services_.folder, entno_));
            message(
                tr("This journal entry cannot be read: %1\rIt is shown blank here and stays "
                   "as it is unless you save this entry.")
                    .arg(r.error.contains(file) ? r.error : file + QStringLiteral(": ") + r.error),
                tr("Moonbite"), static_cast<int>(MessageBoxes::Icon::Exclamation));
        }
        // The page keeps the number asked for, so that saving fills a gap or
        // replaces the damaged file (which is kept aside first) and never an
        // entry that was not shown. Only past the last file does the journal
        // end: Next then waits for this page to be saved.
        shown_.reset();
        Text8->setText(QString::number(entno_));
        if (r.status == JournalReadStatus::Missing && !entryAfter(entno_)) flag_ = true;
        new_entry();
        return;
    }

    const JournalEntry& e = r.entry;
    Text1->setText(e.day);
    Text13->setText(e.month);
    Text14->setText(e.year);
    Text200->setPlainText(e.notes);
    Text3->setText(e.temperature);
    Text4->setText(e.tripTime);
    Text5->setText(e.tideType);
    Text6->setText(e.windStrength);
    Text7->setText(e.quantity);
    Combo1->setEditText(e.wind);
    Combo2->setEditText(e.tide);
    Combo3->setEditText(e.catchRating);
    Text9->setText(e.gps1);
    Text10->setText(e.gps2);
    Text11->setText(e.bestTime);
    Text8->setText(QString::number(entno_));
    shown_ = ShownEntry{entno_, e};

    if (Text1->text().isEmpty()) return;
    const double month = valOf(Text13->text());
    if (!(month >= 1 && month <= 12) || month != std::floor(month)) return;
    std::string dateText = Text1->text().toStdString();
    dateText += '/';
    dateText += englishMonthName(static_cast<int>(month));
    dateText += '/';
    dateText += Text14->text().toStdString();
    if (const std::optional<Date> d = parseDateText(dateText)) {
        entryDate_ = *d;
        Moonfish();
    }
}

bool Form3::entryAfter(int number) const {
    const QList<int> numbers = journalEntryNumbers(services_.folder);
    return !numbers.isEmpty() && numbers.back() > number;
}

void Form3::saveent() {
    const double number = valOf(Text8->text());
    if (!(number >= 1 && number <= kMaxJournalEntry) || number != std::floor(number)) {
        message(tr("Entry numbers run from 1 to %1. The entry was NOT saved and is still on "
                   "screen.")
                    .arg(kMaxJournalEntry),
                tr("Moonbite"), static_cast<int>(MessageBoxes::Icon::Critical));
        return;
    }
    const int n = static_cast<int>(number);

    JournalEntry e;
    e.day = Text1->text();
    e.month = Text13->text();
    e.year = Text14->text();
    e.notes = Text200->toPlainText();
    e.temperature = Text3->text();
    e.tripTime = Text4->text();
    e.tideType = Text5->text();
    e.windStrength = Text6->text();
    e.quantity = Text7->text();
    e.wind = Combo1->currentText();
    e.tide = Combo2->currentText();
    e.catchRating = Combo3->currentText();
    e.gps1 = Text9->text();
    e.gps2 = Text10->text();
    e.bestTime = Text11->text();

    // A readable entry is replaced without asking only when it is the one
    // this page was read from, as it was read. Otherwise it is a trip the
    // user has not seen here: another program wrote it behind a blank page,
    // changed it since, or the number box was edited.
    const QString file = QDir::toNativeSeparators(journalFilePath(services_.folder, n));
    const JournalReadResult there = readJournalEntry(services_.folder, n);
    if (there.status == JournalReadStatus::Ok &&
        !(shown_ && shown_->number == n && shown_->entry == there.entry)) {
        const bool replace =
            services_.boxes != nullptr &&
            services_.boxes->ask(
                this,
                tr("%1 holds a journal entry that is not the one shown here "
                   "(trip date %2/%3/%4). Replace it with the entry on screen?")
                    .arg(file, there.entry.day, there.entry.month, there.entry.year),
                tr("Replace Journal Entry"));
        if (!replace) return;
    }

    QString error;
    QString kept;
    if (!writeJournalEntry(services_.folder, n, e, &error, &kept)) {
        message(tr("The journal entry could not be saved.\r%1\rThe entry was NOT saved and is "
                   "still on screen.")
                    .arg(error.contains(file) ? error : file + QStringLiteral(": ") + error),
                tr("Moonbite"), static_cast<int>(MessageBoxes::Icon::Critical));
        return;
    }
    flag_ = false;
    // Saved, the page is the file's entry: its Tide is no longer offered.
    newPage_ = false;

    // Show the entry as it now reads back from the file.
    const JournalEntry s = storedJournalEntry(e);
    shown_ = ShownEntry{n, s};
    Text1->setText(s.day);
    Text13->setText(s.month);
    Text14->setText(s.year);
    Text200->setPlainText(s.notes);
    Text3->setText(s.temperature);
    Text4->setText(s.tripTime);
    Text5->setText(s.tideType);
    Text6->setText(s.windStrength);
    Text7->setText(s.quantity);
    Combo1->setEditText(s.wind);
    Combo2->setEditText(s.tide);
    Combo3->setEditText(s.catchRating);
    Text9->setText(s.gps1);
    Text10->setText(s.gps2);
    Text11->setText(s.bestTime);
    if (!kept.isEmpty()) {
        message(tr("The damaged file that was saved over is kept as %1.")
                    .arg(QDir::toNativeSeparators(kept)),
                tr("Moonbite"), static_cast<int>(MessageBoxes::Icon::Information));
    }
}

void Form3::new_entry() {
    newPage_ = true;
    tideChosen_ = false;
    pageDate_.reset();
    showTideTip(QString());
    for (QLineEdit* box : {Text1, Text4, Text3, Text5, Text6, Text7, Text11, Text9, Text10})
        box->clear();
    Text200->clear();
    for (QComboBox* combo : {Combo1, Combo2, Combo3})
        combo->setEditText(QString());
    Text12->hide();
    Pictures1->hide();
    Pictures10->hide();
    Label16->hide();
    Label17->clear();
    Label14->clear();
}

void Form3::hideMoonValues() {
    Pictures1->hide();
    Pictures10->hide();
    Text12->hide();
    Label14->clear();
    Label16->clear();
    Label17->clear();
}

void Form3::step(QLineEdit* box, int by) {
    box->setText(numberString(valOf(box->text()) + by));
    box->setFocus();
}

void Form3::Command1_Click() {
    if (!Text1->text().isEmpty()) dateentered();
    saveent();
}

void Form3::Command2_Click() {
    flag_ = false;
    reject();
}

void Form3::Command3_Click() {
    if (services_.openHelp) services_.openHelp(20);
}

void Form3::Command4_Click() {
    flag_ = false;
    entno_ = std::clamp(entryNumberFrom(valOf(Text8->text())) - 1, 1, kMaxJournalEntry);
    readdata();
    Text8->setText(QString::number(entno_));
    if (Text1->text().isEmpty()) hideMoonValues();
}

void Form3::Command5_Click() {
    if (flag_) return;
    entno_ = std::clamp(entryNumberFrom(valOf(Text8->text())) + 1, 1, kMaxJournalEntry);
    readdata();
    if (Text1->text().isEmpty()) hideMoonValues();
}

void Form3::Command6_Click() {
    new_entry();
    const QDate today = services_.today ? services_.today() : QDate::currentDate();
    Text13->setText(QString::number(today.month()));
    Text14->setText(QString::number(today.year()));
}

void Form3::dateentered() {
    // The boxes' own focus changes and the message box's return would start it again.
    if (inDateEntered_) return;
    inDateEntered_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{inDateEntered_};

    const int exclamation = static_cast<int>(MessageBoxes::Icon::Exclamation);
    const int critical = static_cast<int>(MessageBoxes::Icon::Critical);
    if (Text1->text().isEmpty()) {
        message(tr("No value was entered for the Day. Please re-enter the day."),
                tr("No Day Specified"), exclamation);
        Text1->setFocus();
        return;
    }
    if (Text13->text().isEmpty()) {
        message(tr("No value was entered for the Month. Please re-enter the month."),
                tr("No Month Specified"), exclamation);
        Text13->setFocus();
        return;
    }
    if (Text14->text().isEmpty()) {
        message(tr("No value was entered for the Year. Please re-enter the year."),
                tr("No Year Specified"), exclamation);
        Text14->setFocus();
        return;
    }

    const double day = std::abs(valOf(Text1->text()));
    const double month = std::abs(valOf(Text13->text()));
    double year = std::abs(valOf(Text14->text()));
    Text1->setText(numberString(day));
    Text13->setText(numberString(month));
    Text14->setText(numberString(year));

    if (Text14->text().size() == 2) {
        message(tr("Two digit year format is acceptable, but to avoid any possible errors, we "
                   "suggest you use the four digit format. The four digit format will now be "
                   "implemented to your date. The century used will be that of your current "
                   "computer date."),
                tr("Moonbite"), static_cast<int>(MessageBoxes::Icon::Information));
        const QDate today = services_.today ? services_.today() : QDate::currentDate();
        Text14->setText(QString::number(today.year()).left(2) + Text14->text());
        year = valOf(Text14->text());
    }
    if (year < 1901) {
        Text14->setText(QStringLiteral("1901"));
        year = 1901;
    } else if (year > 2200) {
        Text14->setText(QStringLiteral("2200"));
        year = 2200;
    }

    const bool monthBad = month < 1 || month > 12;
    if (day < 1 || day > 31) {
        Text1->setFocus();
        Text1->clear();
        if (monthBad) {
            Text13->setFocus();
            Text13->clear();
            message(tr("Invalid date. Please re-enter the Day and Month."),
                    tr("INVALID DAY & MONTH"), critical);
        } else {
            message(tr("Invalid date. Please re-enter the Day."), tr("INVALID DAY"), critical);
        }
        return;
    }
    if (monthBad) {
        Text13->setFocus();
        Text13->clear();
        message(tr("Invalid date. Please re-enter the Month."), tr("INVALID MONTH"), critical);
        return;
    }

    std::optional<Date> d;
    if (day == std::floor(day) && month == std::floor(month) && year == std::floor(year)) {
        d = Date::fromYmd(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
    }
    if (!d) {
        message(tr("The date you have selected is not a valid date. For example, if you enter "
                   "30/2/1999 or 2/30/1999 this error will occur as Febuary does not have 30 "
                   "days.") +
                    QLatin1Char('\r') +
                    tr("This error may also be a result of incorrect Windows regional settings. "
                       "Refer to readme.txt file for details.") +
                    QLatin1Char('\r') +
                    tr("To display the regional settings, select Settings | Control Panel | "
                       "Regional Settings in the Windows Start menu."),
                tr("INVALID DATE"), critical);
        return;
    }
    entryDate_ = *d;
    Moonfish();
}

void Form3::Moonfish() {
    if (services_.state == nullptr || !entryDate_) return;
    SolunarState& s = *services_.state;
    // calcmoon also leaves the day's phase, age and prediction in the state;
    // the main window's copies are put back so only its recompute changes them.
    const Date savedDate = s.computationDate;
    const auto savedPicture = s.moonPicture;
    const auto savedAge = s.moonAge;
    const auto savedScore = s.predictionScore;
    const Text savedWord = s.predictionWord;
    const Text savedColour = s.predictionColour;
    const auto savedIndex = s.phaseIndex;
    const auto savedToNew = s.daysToNewMoon;
    const auto savedToFull = s.daysToFullMoon;
    const Text savedZone = s.timeZoneEntered;
    const Text savedNegatedZone = s.timeZoneForComputations;

    s.journalRequest = true;
    s.computationDate = *entryDate_;
    useZoneOf(s, *entryDate_);  // the trip's own clock when the place follows daylight saving
    calcmoontime(s);
    calcmoon(s);

    const int size = std::min(Pictures1->width(), Pictures1->height());
    Pictures1->setPixmap(moonPhasePixmap(s.moonPicture, size, devicePixelRatioF()));
    Pictures1->show();
    const auto colour = static_cast<std::uint32_t>(Val(s.predictionColour));
    QPalette palette = Pictures10->palette();
    palette.setColor(QPalette::Window, QColor(static_cast<int>(colour & 0xFFU),
                                              static_cast<int>((colour >> 8) & 0xFFU),
                                              static_cast<int>((colour >> 16) & 0xFFU)));
    Pictures10->setPalette(palette);
    Pictures10->show();
    Label16->setText(tr("Age"));
    Label16->show();
    const QString event = s.Form3Label14.visible ? q(s.Form3Label14.caption) : QString();
    Label17->setText(event);
    Label14->setText(event);
    Text12->setText(QString::number(s.moonAge));
    Text12->show();
    // The colour and the picture in words, for a screen reader.
    Pictures10->setAccessibleDescription(q(s.predictionWord));
    Pictures1->setAccessibleDescription(event.isEmpty()
                                            ? tr("Age %1 days").arg(s.moonAge)
                                            : tr("Age %1 days, %2").arg(s.moonAge).arg(event));

    s.computationDate = savedDate;
    s.timeZoneEntered = savedZone;
    s.timeZoneForComputations = savedNegatedZone;
    s.moonPicture = savedPicture;
    s.moonAge = savedAge;
    s.predictionScore = savedScore;
    s.predictionWord = savedWord;
    s.predictionColour = savedColour;
    s.phaseIndex = savedIndex;
    s.daysToNewMoon = savedToNew;
    s.daysToFullMoon = savedToFull;
    s.journalRequest = false;

    if (newPage_) {
        pageDate_ = *entryDate_;
        offerTide();
    }
}

void Form3::offerTide() {
    if (!newPage_ || !pageDate_ || services_.state == nullptr || !services_.tideStateOf) return;
    SolunarState& s = *services_.state;
    const std::optional<int> minute = tripTimeMinute(Text4->text(), s.designators);
    // The trip date's own clock, as the Moon values use it; the main window's
    // offset is put back.
    const Text savedZone = s.timeZoneEntered;
    const Text savedNegatedZone = s.timeZoneForComputations;
    useZoneOf(s, *pageDate_);
    const std::string dayText = services_.dayTidesText ? services_.dayTidesText(s, *pageDate_) : "";
    const std::string state =
        minute && !tideChosen_ ? services_.tideStateOf(s, *pageDate_, *minute) : std::string();
    s.timeZoneEntered = savedZone;
    s.timeZoneForComputations = savedNegatedZone;

    showTideTip(q(dayText));
    if (minute && !tideChosen_) Combo2->setEditText(q(state));
}

void Form3::showTideTip(const QString& dayTides) {
    if (services_.state != nullptr && !services_.state->textTipsShown) {
        Combo2->setToolTip(QString());
        return;
    }
    const QString usual = tr("State of the tide");
    Combo2->setToolTip(dayTides.isEmpty() ? usual : dayTides + QLatin1Char('\n') + usual);
}

void Form3::done(int result) {
    QDialog::done(result);
    emit closed();
}

bool Form3::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && !inDateEntered_ &&
        (services_.boxes == nullptr || !services_.boxes->isOpen())) {
        dateentered();
    }
    return QDialog::eventFilter(watched, event);
}

void Form3::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (resizer_ != nullptr) resizer_->Resize(this);
}

}  // namespace moonbite
