// The desktop's dark preference as a portal-based desktop (GNOME) states it:
// read at start without waiting, followed when it changes, and turned into
// a dark palette only where the platform's own palette is light.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QStyle>
#include <QTest>

#include "wait_until.h"
#include "contrast.h"
#include "desktop_colour_scheme.h"

namespace moonbite {
namespace {

/// org.freedesktop.portal.Settings as a desktop offers it, with one setting.
class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
  public:
    uint scheme = 1;
    int reads = 0;

  public slots:
    QDBusVariant Read(const QString& group, const QString& key) {
        ++reads;
        if (group != QLatin1String("org.freedesktop.appearance") ||
            key != QLatin1String("color-scheme"))
            return QDBusVariant(QVariant());
        // As the portal answers: the value in a variant, in the reply's variant.
        return QDBusVariant(QVariant::fromValue(QDBusVariant(scheme)));
    }
};

class ColourSchemeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const QByteArray why = qgetenv("MOONBITE_NO_SESSION_BUS");
        if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();
        ASSERT_TRUE(bus.isConnected());
    }
    void TearDown() override {
        bus.unregisterObject(kPath);
        bus.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
    }
    void offerPortal() {
        ASSERT_TRUE(bus.registerObject(kPath, &portal, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
    }
    void change(const QString& group, uint value) {
        QDBusMessage signal = QDBusMessage::createSignal(
            kPath, QStringLiteral("org.freedesktop.portal.Settings"),
            QStringLiteral("SettingChanged"));
        signal << group << QStringLiteral("color-scheme")
               << QVariant::fromValue(QDBusVariant(value));
        bus.send(signal);
    }
    const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
    QDBusConnection bus = QDBusConnection::sessionBus();
    FakePortal portal;
};

TEST_F(ColourSchemeTest, ThePreferenceIsReadAtStartAndFollowed) {
    offerPortal();
    DesktopColourScheme scheme(bus);
    QList<ColourScheme> seen;
    QObject::connect(&scheme, &DesktopColourScheme::schemeChanged,
                     [&seen](ColourScheme s) { seen.push_back(s); });
    scheme.start();
    EXPECT_TRUE(seen.isEmpty()) << "the answer comes later: start() must not wait for it";
    ASSERT_TRUE(moonbite::testing::waitUntil([&] { return seen.size() == 1; }, 5000));
    EXPECT_EQ(seen[0], ColourScheme::PreferDark);
    EXPECT_EQ(portal.reads, 1);

    change(QStringLiteral("org.freedesktop.appearance"), 2);
    ASSERT_TRUE(moonbite::testing::waitUntil([&] { return seen.size() == 2; }, 5000));
    EXPECT_EQ(seen[1], ColourScheme::PreferLight);
    // Another group's setting of the same name, then a value no portal
    // defines: the first is not ours, the second means no preference.
    change(QStringLiteral("org.example.other"), 1);
    change(QStringLiteral("org.freedesktop.appearance"), 7);
    ASSERT_TRUE(moonbite::testing::waitUntil([&] { return seen.size() == 3; }, 5000));
    EXPECT_EQ(seen[2], ColourScheme::NoPreference);
}

TEST_F(ColourSchemeTest, WithoutAPortalNothingIsReported) {
    DesktopColourScheme scheme(bus);
    int reported = 0;
    QObject::connect(&scheme, &DesktopColourScheme::schemeChanged, [&reported] { ++reported; });
    scheme.start();
    QTest::qWait(300);
    EXPECT_EQ(reported, 0);
}

// The rule itself, and the application's palette following the portal.
TEST(ColourSchemePalette, DarkOnlyWhereTheDesktopsPaletteIsLight) {
    const QPalette light = QApplication::style()->standardPalette();
    ASSERT_FALSE(isDark(light.color(QPalette::Window)));
    EXPECT_TRUE(isDark(paletteForScheme(ColourScheme::PreferDark, light).color(QPalette::Window)));
    for (ColourScheme s : {ColourScheme::NoPreference, ColourScheme::PreferLight})
        EXPECT_EQ(paletteForScheme(s, light).color(QPalette::Window), light.color(QPalette::Window));
    // A desktop that is dark already (KDE passes its palette on) keeps its own.
    QPalette kdeDark = darkDesktopPalette();
    kdeDark.setColor(QPalette::Window, QColor(0x20, 0x24, 0x28));
    EXPECT_EQ(paletteForScheme(ColourScheme::PreferDark, kdeDark).color(QPalette::Window),
              QColor(0x20, 0x24, 0x28));
}

TEST_F(ColourSchemeTest, TheApplicationGoesDarkAndBack) {
    offerPortal();
    const QColor lightWindow = QApplication::palette().color(QPalette::Window);
    ASSERT_FALSE(isDark(lightWindow));
    QObject owner;
    followDesktopColourScheme(&owner);
    ASSERT_TRUE(moonbite::testing::waitUntil([&] { return isDark(QApplication::palette().color(QPalette::Window)); }, 5000));
    change(QStringLiteral("org.freedesktop.appearance"), 0);
    ASSERT_TRUE(moonbite::testing::waitUntil([&] { return !isDark(QApplication::palette().color(QPalette::Window)); }, 5000));
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), lightWindow);
}

}  // namespace
}  // namespace moonbite

#include "test_colour_scheme.moc"
