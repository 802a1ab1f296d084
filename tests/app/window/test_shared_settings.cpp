// Two main windows on one settings folder, as when Moonbite is started twice,
// and a settings lock that cannot be taken.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <chrono>

#include "window_fixture.h"

namespace moonbite::testing {
namespace {

const QString kLocations = QStringLiteral("Settings\\Locations\\");

class SharedSettingsTest : public WindowTest {
  protected:
    void TearDown() override {
        second.reset();
        WindowTest::TearDown();
    }
    /// Another window with a store of its own, as a second program has.
    Form1& openSecond() {
        secondStore = std::make_unique<SettingsStore>(folder.path());
        MainWindowServices sv = services();
        sv.store = secondStore.get();
        second = std::make_unique<Form1>(sv);
        second->Form_Load();
        second->show();
        QApplication::processEvents();
        return *second;
    }
    static void saveLocation(Form1& w, const QString& name, const char* latdeg) {
        w.Combo3->setEditText(name);
        w.Text30->setText(QString::fromLatin1(latdeg));
        QTest::mouseClick(w.Command8, Qt::LeftButton);
    }
    static void deleteLocation(Form1& w, const QString& name) {
        w.Combo3->setEditText(name);
        QTest::mouseClick(w.Command9, Qt::LeftButton);
    }
    static QStringList listed(const Form1& w) {
        QStringList names;
        for (int i = 1; i < w.Combo3->count(); ++i)
            names << w.Combo3->itemText(i);
        return names;
    }
    /// The list on disk, as a window opened now would read it.
    QStringList stored() const {
        const SettingsStore fresh(folder.path());
        QStringList names;
        const int n = fresh.get(kTitleApp, kLocations, QStringLiteral("nlist")).toInt();
        for (int i = 1; i <= n; ++i)
            names << fresh.get(kTitleApp, kLocations, QStringLiteral("place(%1)").arg(i));
        return names;
    }
    static QByteArray bytesOf(const QString& path) {
        QFile f(path);
        return f.open(QFile::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString storedLatitude(const QString& name) const {
        const SettingsStore fresh(folder.path());
        return fresh.get(kTitleApp, locationSection(name), QStringLiteral("latdeg"),
                         QStringLiteral("(none)"));
    }

    std::unique_ptr<SettingsStore> secondStore;
    std::unique_ptr<Form1> second;
};

TEST_F(SharedSettingsTest, LocationsSavedInTwoWindowsAreBothKept) {
    storeSydney();
    Form1& a = open();
    Form1& b = openSecond();
    saveLocation(a, QStringLiteral("Alpha"), "10");
    saveLocation(b, QStringLiteral("Beta"), "20");
    EXPECT_EQ(stored(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Beta")}));
    EXPECT_EQ(storedLatitude(QStringLiteral("Alpha")), QStringLiteral("10"));
    EXPECT_EQ(storedLatitude(QStringLiteral("Beta")), QStringLiteral("20"));
    // The window that saved last shows the list it saved.
    EXPECT_EQ(listed(b), stored());
    EXPECT_EQ(b.Combo3->currentText(), QStringLiteral("Beta"));
}

TEST_F(SharedSettingsTest, ALocationDeletedInOneWindowStaysDeletedWhenTheOtherSaves) {
    storeSydney();
    Form1& a = open();
    Form1& b = openSecond();
    saveLocation(a, QStringLiteral("Alpha"), "10");
    saveLocation(a, QStringLiteral("Beta"), "20");
    deleteLocation(a, QStringLiteral("Alpha"));
    ASSERT_EQ(stored(), QStringList{QStringLiteral("Beta")});
    saveLocation(b, QStringLiteral("Gamma"), "30");
    EXPECT_EQ(stored(), (QStringList{QStringLiteral("Beta"), QStringLiteral("Gamma")}));
    EXPECT_EQ(storedLatitude(QStringLiteral("Alpha")), QStringLiteral("(none)"));
    EXPECT_EQ(storedLatitude(QStringLiteral("Beta")), QStringLiteral("20"));
}

TEST_F(SharedSettingsTest, ADeleteInAWindowThatHasNotSeenANewLocationKeepsIt) {
    storeSydney();
    Form1& a = open();
    saveLocation(a, QStringLiteral("Alpha"), "10");
    saveLocation(a, QStringLiteral("Beta"), "20");
    Form1& b = openSecond();
    saveLocation(a, QStringLiteral("Gamma"), "30");
    deleteLocation(b, QStringLiteral("Alpha"));
    EXPECT_EQ(stored(), (QStringList{QStringLiteral("Beta"), QStringLiteral("Gamma")}));
    EXPECT_EQ(listed(b), stored());
    EXPECT_EQ(storedLatitude(QStringLiteral("Gamma")), QStringLiteral("30"));
    // Deleting what the other window deleted first changes nothing more.
    deleteLocation(a, QStringLiteral("Alpha"));
    EXPECT_EQ(stored(), (QStringList{QStringLiteral("Beta"), QStringLiteral("Gamma")}));
}

// A lock folder left behind: the window opens, says so once, computes with
// what is stored and writes nothing.
TEST_F(SharedSettingsTest, ALockThatCannotBeTakenIsSaidOnceAndNothingIsWritten) {
    storeSydney();
    const QString stateFile = store->filePath(kStateApp);
    const QString lock = stateFile + QStringLiteral(".lock");
    ASSERT_TRUE(QDir().mkpath(lock));
    const QByteArray stateBefore = bytesOf(stateFile);
    store->setLockTimeout(std::chrono::milliseconds(200));

    Form1& w = open();
    EXPECT_EQ(w.Text2->text(), QStringLiteral("05:05 AM"));  // Sydney, 21 January 2000
    // The title file's lock is free: what the start wrote there, before the
    // state file's lock was found held, is all there is of it.
    const QString titleFile = store->filePath(kTitleApp);
    const QByteArray titleBefore = bytesOf(titleFile);
    QTest::mouseClick(w.Command2, Qt::LeftButton);
    saveLocation(w, QStringLiteral("Alpha"), "10");
    w.close();

    int aboutLock = 0;
    for (const auto& b : boxes.shown)
        aboutLock += b.text.contains(lock) ? 1 : 0;
    EXPECT_EQ(aboutLock, 1);
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(bytesOf(stateFile), stateBefore);
    EXPECT_EQ(bytesOf(titleFile), titleBefore);
    // The list still shows what the user saved (Apply keeps the new Sydney),
    // for as long as the window is open.
    EXPECT_EQ(listed(w), (QStringList{QStringLiteral("Sydney"), QStringLiteral("Alpha")}));
}

}  // namespace
}  // namespace moonbite::testing
