#include "welcome_window.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "settings_store.h"
#include "window_fit.h"

namespace moonbite {
namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setWordWrap(true);
    l->setTextFormat(Qt::PlainText);
    return l;
}

// The first character of a format that is neither a field letter nor a
// blank or quote: ":" in "h:mm AP", "." in "dd.MM.yy". A blank when the
// fields are only spaced apart ("d MMM yyyy").
QString separatorOf(const QString& format, QLatin1String fieldLetters) {
    bool blank = false;
    for (const QChar c : format) {
        if (fieldLetters.contains(c) || c == QLatin1Char('\'')) continue;
        if (c.isSpace()) {
            blank = true;
            continue;
        }
        return QString(c);
    }
    return blank ? QStringLiteral(" ") : QString();
}

}  // namespace

bool isNewUser(const SettingsStore& store) {
    return readInt(store, keys::nlist) <= 0;
}

QString regionalFormatsText(const QLocale& locale) {
    const QString time =
        separatorOf(locale.timeFormat(QLocale::ShortFormat), QLatin1String("hHmszaApPt"));
    const QString date =
        separatorOf(locale.dateFormat(QLocale::ShortFormat), QLatin1String("dMyg"));
    return QStringLiteral("Time separator \"%1\", AM \"%2\", PM \"%3\", date separator \"%4\"")
        .arg(time, locale.amText(), locale.pmText(), date);
}

bool welcomeNewUser(const SettingsStore& store, std::function<void()> openRegionalSettings) {
    if (!isNewUser(store)) return false;
    Form2 welcome(std::move(openRegionalSettings));
    welcome.exec();
    return true;
}

Form2::Form2(std::function<void()> openRegionalSettings, QWidget* parent)
    : QDialog(parent), openRegionalSettings_(std::move(openRegionalSettings)) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("  Welcome first time user"));

    Label1 = label(this, "Label1", QStringLiteral("Welcome To Moonbite"));
    QFont heading = Label1->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.6);
    heading.setBold(true);
    Label1->setFont(heading);
    Label2 = label(this, "Label2",
                   tr("This is the first time you are using Moonbite.\n\n"
                      "Next you will find your fishing place by name: the program settings "
                      "open with a search box. Type your town, pick it from the list and "
                      "press Ok."));

    auto* Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label7 = label(Frame1, "Label7", QStringLiteral("Important Setup Information"));
    QFont bold = Label7->font();
    bold.setBold(true);
    Label7->setFont(bold);
    Label3 = label(Frame1, "Label3",
                   tr("Moonbite writes times and dates as this computer's region settings "
                      "do: the time separator, the AM and PM symbols and the date separator "
                      "come from there. Most of the time they are right and need no change."));
    Label4 = label(Frame1, "Label4",
                   tr("To check or change them, click the regional settings button below, or "
                      "open Settings\u00a0>\u00a0Region & Language on GNOME, or System "
                      "Settings\u00a0>\u00a0Regional Settings on KDE. Elsewhere they come from "
                      "the LANG and LC_TIME environment variables."));
    const QLocale locale;
    Label5 =
        label(Frame1, "Label5",
              tr("Moonbite reads them from the locale %1, which now gives:").arg(locale.name()));
    Label6 = label(Frame1, "Label6", regionalFormatsText(locale));
    QFont values = Label6->font();
    values.setBold(true);
    Label6->setFont(values);
    auto* frameLayout = new QVBoxLayout(Frame1);
    for (QLabel* l : {Label7, Label3, Label4, Label5, Label6})
        frameLayout->addWidget(l);

    Command2 = new QPushButton(tr("&Regional settings"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command1 = new QPushButton(tr("&Ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    // Enter goes on to the main window: the region settings are rarely wrong.
    Command1->setDefault(true);
    connect(Command2, &QPushButton::clicked, this, [this] {
        if (openRegionalSettings_) openRegionalSettings_();
    });
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    auto* all = new QVBoxLayout(this);
    all->addWidget(Label1);
    all->addWidget(Label2);
    all->addWidget(Frame1);
    all->addStretch();
    all->addLayout(buttons);
    Label1->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    // Still as tall as its wrapped lines need at the width it is given.
    QSizePolicy wrapped(QSizePolicy::Preferred, QSizePolicy::Minimum);
    wrapped.setHeightForWidth(true);
    Label2->setSizePolicy(wrapped);
    // Taller when the desktop's font makes the text wrap to more lines.
    resize(560, std::max(420, all->totalHeightForWidth(560)));
    // Its layout gives the smallest size the text can be read at.
    fitWhenShown(*this, nullptr, QSize(560, 420));
}

}  // namespace moonbite
