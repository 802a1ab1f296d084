// The main window over settings files that are damaged, oversized, not files
// at all, or hold numbers no box could show: it opens, says what happened
// once, and computes with sound values.
#include <sys/stat.h>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <cstdlib>

#include "window_fixture.h"

namespace moonbite::testing {
namespace {

class SettingsFilesTest : public WindowTest {
  protected:
    QString file(const QString& app) const { return folder.filePath(app + QStringLiteral(".ini")); }
    static QByteArray bytesOf(const QString& path) {
        QFile f(path);
        return f.open(QFile::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void put(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QFile::WriteOnly | QFile::Truncate));
        f.write(bytes);
    }
    int informationBoxesMentioning(const QString& words) const {
        int n = 0;
        for (const auto& b : boxes.shown)
            n += b.icon == MessageBoxes::Icon::Information && b.text.contains(words) ? 1 : 0;
        return n;
    }
};

TEST_F(SettingsFilesTest, AGarbageFileIsReplacedKeptAndSaidOnce) {
    storeSydney();
    QByteArray garbage;
    for (int i = 0; i < 400; ++i)
        garbage += static_cast<char>((i * 53 + 7) % 256);
    put(file(kTitleApp), garbage);

    Form1& w = open();
    w.Activateform();
    EXPECT_EQ(informationBoxesMentioning(QStringLiteral("was damaged and has been replaced")), 1);
    EXPECT_EQ(informationBoxesMentioning(QStringLiteral("cannot write")), 0);
    EXPECT_EQ(bytesOf(file(kTitleApp) + QStringLiteral(".damaged")), garbage);
    EXPECT_TRUE(store->writable());
    EXPECT_TRUE(store->unreadableReason(kTitleApp).isEmpty());
    EXPECT_EQ(w.Text2->text(), QStringLiteral("05:05 AM"));  // Sydney, 21 January 2000
}

TEST_F(SettingsFilesTest, AFifoInPlaceOfTheStateFileNeitherBlocksNorIsReplaced) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(file(kStateApp)).constData(), 0600), 0);
    Form1& w = open();
    w.Activateform();
    EXPECT_EQ(informationBoxesMentioning(QStringLiteral("cannot read its settings")), 1);
    EXPECT_EQ(informationBoxesMentioning(QStringLiteral("cannot write")), 0);
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(file(kStateApp)).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    // No place can be read, so none is shown, and the window runs on.
    EXPECT_TRUE(w.LabelChoosePlace->isVisible());
    EXPECT_FALSE(w.Label10->text().isEmpty());
}

TEST_F(SettingsFilesTest, AnOversizedStateFileIsNotParsed) {
    QByteArray big = "[Settings]\ncurrentloc=Far Away\nlatdeg=45\n";
    while (big.size() <= kMaxSettingsFileSize)
        big += "x=yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyy\n";
    put(file(kStateApp), big);
    Form1& w = open();
    EXPECT_NE(w.Combo3->currentText(), QStringLiteral("Far Away"));
    EXPECT_EQ(informationBoxesMentioning(QStringLiteral("larger than 64 MiB")), 1);
    // Saving the settings keeps the old file and says nothing more.
    w.Combo3->setEditText(QStringLiteral("Sydney"));
    w.Text30->setText(QStringLiteral("33"));
    QTest::mouseClick(w.Command4, Qt::LeftButton);
    EXPECT_EQ(bytesOf(file(kStateApp) + QStringLiteral(".damaged")), big);
    EXPECT_EQ(readText(*store, keys::currentloc), QStringLiteral("Sydney"));
    EXPECT_EQ(informationBoxesMentioning(QStringLiteral("larger than 64 MiB")), 1);
    EXPECT_EQ(informationBoxesMentioning(QStringLiteral("was damaged")), 0);
}

// A NUL byte written into a file while the window is open: the write that
// replaces the file says so at once, with where the old one is kept, also
// when that write is the last one, as the window closes.
TEST_F(SettingsFilesTest, AReplacedFileIsSaidWithTheFullPathOfItsCopy) {
    storeSydney();
    Form1& w = open();
    boxes.shown.clear();
    const QByteArray damaged = bytesOf(file(kStateApp)) + QByteArray("\0", 1);
    put(file(kStateApp), damaged);
    w.mnurevmoon->trigger();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Information);
    EXPECT_EQ(boxes.shown[0].text,
              QStringLiteral("Moonbite's settings file %1 was damaged and has been replaced.\n"
                             "A copy of the old file is kept at %1.damaged.")
                  .arg(file(kStateApp)));
    EXPECT_EQ(bytesOf(file(kStateApp) + QStringLiteral(".damaged")), damaged);

    put(file(kTitleApp), QByteArray("[Settings]\ngraphday=15\n\0", 25));
    window->close();
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_TRUE(boxes.shown[1].text.contains(
        QStringLiteral("%1 was damaged and has been replaced").arg(file(kTitleApp))));
    EXPECT_TRUE(
        boxes.shown[1].text.contains(QStringLiteral("kept at %1.damaged.").arg(file(kTitleApp))));
}

// A location name another program wrote in Latin-1 reads with U+FFFD for its
// byte; the save that writes it back so keeps the old file first, once.
TEST_F(SettingsFilesTest, ANameThatIsNotUtf8IsKeptInACopyAndSaidOnce) {
    storeSydney();
    const QByteArray latin1 =
        "[Settings]\nLocations\\nlist=1\nLocations\\place(1)=Caf\xe9"
        " du Port\n";
    put(file(kTitleApp), latin1);
    Form1& w = open();
    ASSERT_EQ(w.Combo3->count(), 2);
    EXPECT_EQ(w.Combo3->itemText(1), QStringLiteral("Caf\uFFFD du Port"));
    w.Combo3->setEditText(QStringLiteral("Home"));
    QTest::mouseClick(w.Command8, Qt::LeftButton);
    w.Combo3->setEditText(QStringLiteral("Away"));
    QTest::mouseClick(w.Command8, Qt::LeftButton);
    w.close();

    EXPECT_EQ(bytesOf(file(kTitleApp) + QStringLiteral(".damaged")), latin1);
    EXPECT_FALSE(QFile::exists(file(kTitleApp) + QStringLiteral(".damaged.2")));
    int told = 0;
    for (const auto& b : boxes.shown) {
        if (!b.text.contains(QStringLiteral("not UTF-8"))) continue;
        ++told;
        EXPECT_TRUE(b.text.contains(file(kTitleApp) + QStringLiteral(".damaged")));
    }
    EXPECT_EQ(told, 1);
}

// Numbers the store holds but no box can hold: the computation must not see them.
struct StoredNumberCase {
    const char* name;
    const char* key;
    const char* value;
};
void PrintTo(const StoredNumberCase& c, std::ostream* os) {
    *os << c.name;
}

class StoredNumbers : public SettingsFilesTest,
                      public ::testing::WithParamInterface<StoredNumberCase> {};

TEST_P(StoredNumbers, NeverReachTheComputation) {
    storeSydney();
    store->save(kStateApp, QStringLiteral("Settings"), QString::fromLatin1(GetParam().key),
                QString::fromLatin1(GetParam().value));
    Form1& w = open();
    w.Activateform();
    const SolunarState& s = w.state();
    EXPECT_TRUE(std::isfinite(s.latitude) && s.latitude >= -90 && s.latitude <= 90) << s.latitude;
    EXPECT_TRUE(std::isfinite(s.longitude) && s.longitude >= -180 && s.longitude <= 180)
        << s.longitude;
    const double zone = std::atof(s.timeZoneEntered.c_str());
    EXPECT_TRUE(zone >= -12 && zone <= 13) << s.timeZoneEntered.c_str();
    EXPECT_FALSE(w.Text2->text().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, StoredNumbers,
    ::testing::Values(StoredNumberCase{"LatitudeNaN", "latdeg", "nan"},
                      StoredNumberCase{"LatitudeHuge", "latdeg", "1e300"},
                      StoredNumberCase{"LatitudeMinutesHuge", "latmin", "1e300"},
                      StoredNumberCase{"LongitudeInfinite", "londeg", "inf"},
                      StoredNumberCase{"LongitudeMinutesNegative", "lonmin", "-4000"},
                      StoredNumberCase{"ZoneJustAbove", "gmt", "13.0000001"},
                      StoredNumberCase{"ZoneHuge", "gmt", "1e309"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace moonbite::testing
