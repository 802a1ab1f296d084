#include "welcome_window.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings_store.h"

namespace moonbite {
namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setWordWrap(true);
    l->setTextFormat(Qt::PlainText);
    return l;
}

}  // namespace

bool isNewUser(const SettingsStore& store) {
    return readInt(store, keys::nlist) <= 0;
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
                   QStringLiteral("This is the first time you are using Moonbite.\n\n"
                                  "In order for this program to display the correct data for your "
                                  "location, please enter your location coordinates by "
                                  "selecting:\n| Settings | Program Settings | on the menu bar of "
                                  "the main program."));

    auto* Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label7 = label(Frame1, "Label7", QStringLiteral("Important Setup Information"));
    QFont bold = Label7->font();
    bold.setBold(true);
    Label7->setFont(bold);
    Label3 =
        label(Frame1, "Label3",
              QStringLiteral("Testing has revealed that the Regional Settings on some Windows "
                             "operating system's are not configured correctly.\n"
                             "Most of the time these settings are correct and do not need to be "
                             "modified. To ensure correct operation of Moonbite, click the "
                             "regional settings button below and check that the following "
                             "Regional Settings are correct:"));
    Label4 = label(Frame1, "Label4",
                   QStringLiteral("1.   Under the Regional Settings Tab:\n"
                                  "Check the country settings are correct for your location."));
    Label5 = label(Frame1, "Label5",
                   QStringLiteral("2.   Under the Time Tab:\n"
                                  "Check the Time Separator is not blank and should be the \" : \" "
                                  "symbol.\n"
                                  "Check the AM symbol is not blank and should be the \" am \" "
                                  "symbol.\n"
                                  "Check the PM symbol is not blank and should be the \" pm \" "
                                  "symbol."));
    Label6 = label(Frame1, "Label6",
                   QStringLiteral("3.   Under the Date Tab:\n"
                                  "Check the Date Separator is not blank and should be the \" / \" "
                                  "symbol."));
    auto* frameLayout = new QVBoxLayout(Frame1);
    for (QLabel* l : {Label7, Label3, Label4, Label5, Label6})
        frameLayout->addWidget(l);

    Command2 = new QPushButton(tr("&Regional settings"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command1 = new QPushButton(tr("&Ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setEnabled(false);
    connect(Command2, &QPushButton::clicked, this, [this] {
        Command1->setEnabled(true);
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
    Label2->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    resize(560, 520);
}

}  // namespace moonbite
