// The help window: topics, pages and their links, search, navigation and the
// one window of the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>

#include "help_viewer.h"

using moonbite::HelpViewer;

// Readable QString values in failure messages.
void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

QString readPage(const QString& file) {
    QFile f(QStringLiteral(":/help/") + file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

// The <title> of a page, read from its source.
QString titleOf(const QString& file) {
    static const QRegularExpression re(QStringLiteral("<title>([^<]*)</title>"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(readPage(file));
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

// What a reader sees of a page, in lower case.
QString plainTextOf(const QString& file) {
    QTextDocument doc;
    doc.setHtml(readPage(file));
    return doc.toPlainText().toLower();
}

QStringList hrefsOf(const QString& file) {
    static const QRegularExpression re(QStringLiteral("(?:href|src)\\s*=\\s*\"([^\"]*)\""),
                                       QRegularExpression::CaseInsensitiveOption);
    QStringList out;
    auto it = re.globalMatch(readPage(file));
    while (it.hasNext())
        out.append(it.next().captured(1));
    return out;
}

bool isExternal(const QString& href) {
    return href.startsWith(QStringLiteral("http:")) || href.startsWith(QStringLiteral("https:")) ||
           href.startsWith(QStringLiteral("mailto:"));
}

bool hasAnchor(const QString& file, const QString& name) {
    const QString html = readPage(file);
    return html.contains(QStringLiteral("name=\"%1\"").arg(name)) ||
           html.contains(QStringLiteral("id=\"%1\"").arg(name));
}

QLineEdit* searchBox(HelpViewer& v) {
    return v.findChild<QLineEdit*>(QStringLiteral("helpSearch"));
}
QTextBrowser* browserOf(HelpViewer& v) {
    return v.findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
}
QListWidget* listOf(HelpViewer& v) {
    return v.findChild<QListWidget*>(QStringLiteral("helpContents"));
}
QToolButton* button(HelpViewer& v, const char* name) {
    return v.findChild<QToolButton*>(QString::fromLatin1(name));
}

void typeSearch(HelpViewer& v, const QString& text) {
    QLineEdit* box = searchBox(v);
    box->clear();
    QTest::keyClicks(box, text);
}

int rowOf(HelpViewer& v, const QString& title) {
    QListWidget* list = listOf(v);
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text() == title) return i;
    }
    return -1;
}

const QString kContents = QStringLiteral("Contents");
const QString kSettings = QStringLiteral("Program Settings");
const QString kJournal = QStringLiteral("The Fishing Journal");
const QString kCalendar = QStringLiteral("Printing a Month Calendar");
const QString kTides = QStringLiteral("Tides");

}  // namespace

TEST(HelpViewer, WindowHasTheExpectedParts) {
    HelpViewer v;
    EXPECT_EQ(v.windowTitle(), QStringLiteral("Moonbite Help"));
    EXPECT_TRUE(v.isWindow());
    ASSERT_NE(searchBox(v), nullptr);
    EXPECT_EQ(searchBox(v)->placeholderText(), QStringLiteral("Search help"));
    ASSERT_NE(browserOf(v), nullptr);
    ASSERT_NE(listOf(v), nullptr);
    for (const char* name : {"helpBack", "helpForward", "helpHome"}) {
        QToolButton* b = button(v, name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_TRUE(b->text().contains(QLatin1Char('&'))) << name << " has no access key";
    }
    EXPECT_EQ(v.listedTitles().size(), HelpViewer::pageFiles().size());
    EXPECT_GE(v.width(), 600);
    EXPECT_GE(v.height(), 450);
}

TEST(HelpViewer, EachTopicShowsItsPage) {
    HelpViewer v;
    v.showTopic(moonbite::kHelpProgramSettings);
    EXPECT_EQ(v.currentTitle(), kSettings);
    EXPECT_EQ(v.currentPage(), QStringLiteral("settings.html"));
    EXPECT_EQ(v.focusWidget(), browserOf(v));

    v.showTopic(moonbite::kHelpJournal);
    EXPECT_EQ(v.currentTitle(), kJournal);
    EXPECT_EQ(v.currentPage(), QStringLiteral("journal.html"));

    v.showTopic(moonbite::kHelpContents);
    EXPECT_EQ(v.currentTitle(), kContents);
    EXPECT_EQ(v.currentPage(), QStringLiteral("index.html"));
    EXPECT_EQ(v.focusWidget(), searchBox(v));
}

TEST(HelpViewer, UnknownTopicFallsBackToContents) {
    HelpViewer v;
    for (int topic : {0, 1, 12, 19, 21, 99, -1}) {
        v.showTopic(moonbite::kHelpJournal);
        ASSERT_EQ(v.currentTitle(), kJournal);
        v.showTopic(topic);
        EXPECT_EQ(v.currentTitle(), kContents) << "topic " << topic;
    }
}

TEST(HelpViewer, ShowingATopicClearsTheSearch) {
    HelpViewer v;
    typeSearch(v, QStringLiteral("tide"));
    ASSERT_LT(v.listedTitles().size(), HelpViewer::pageFiles().size());
    v.showTopic(moonbite::kHelpProgramSettings);
    EXPECT_TRUE(searchBox(v)->text().isEmpty());
    EXPECT_EQ(v.listedTitles().size(), HelpViewer::pageFiles().size());
}

TEST(HelpPages, ListTitlesAreThePagesTitles) {
    HelpViewer v;
    const QStringList files = HelpViewer::pageFiles();
    const QStringList listed = v.listedTitles();
    ASSERT_EQ(listed.size(), files.size());
    for (int i = 0; i < files.size(); ++i) {
        EXPECT_FALSE(titleOf(files[i]).isEmpty()) << files[i].toStdString();
        EXPECT_EQ(listed[i], titleOf(files[i])) << files[i].toStdString();
    }
}

TEST(HelpPages, EveryPageLinkedFromTheContentsExistsAndHasATitle) {
    HelpViewer v;
    QTextBrowser* browser = browserOf(v);
    QSet<QString> linked;
    const QStringList hrefs = hrefsOf(QStringLiteral("index.html"));
    ASSERT_FALSE(hrefs.isEmpty());
    for (const QString& href : hrefs) {
        if (isExternal(href)) continue;
        const QUrl url = QUrl(QStringLiteral("qrc:/help/index.html")).resolved(QUrl(href));
        const QString file = url.fileName();
        if (!file.endsWith(QStringLiteral(".html"))) continue;
        linked.insert(file);
        ASSERT_TRUE(QFile::exists(QStringLiteral(":/help/") + file)) << href.toStdString();
        browser->setSource(url);
        EXPECT_FALSE(v.currentTitle().isEmpty()) << href.toStdString();
        EXPECT_EQ(v.currentTitle(), titleOf(file)) << href.toStdString();
        EXPECT_EQ(v.currentPage(), file);
    }
    // Every other page can be reached from the contents.
    for (const QString& file : HelpViewer::pageFiles()) {
        if (file == QStringLiteral("index.html")) continue;
        EXPECT_TRUE(linked.contains(file)) << file.toStdString() << " is not in the contents";
    }
}

TEST(HelpPages, EveryInternalLinkResolves) {
    int checked = 0;
    for (const QString& file : HelpViewer::pageFiles()) {
        ASSERT_FALSE(readPage(file).isEmpty()) << file.toStdString();
        const QUrl base(QStringLiteral("qrc:/help/") + file);
        for (const QString& href : hrefsOf(file)) {
            if (isExternal(href)) continue;
            const QUrl target = base.resolved(QUrl(href));
            ASSERT_EQ(target.scheme(), QStringLiteral("qrc")) << href.toStdString();
            EXPECT_TRUE(QFile::exists(QLatin1Char(':') + target.path()))
                << file.toStdString() << " links to missing " << href.toStdString();
            if (target.hasFragment()) {
                EXPECT_TRUE(hasAnchor(target.fileName(), target.fragment()))
                    << file.toStdString() << " links to missing anchor " << href.toStdString();
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 20);
}

// The pages that tell of the predicted tides each say where they come from and
// what they are not good for.
TEST(HelpPages, PagesWithTidePredictionsNameTheSourceAndTheirLimits) {
    for (const char* file :
         {"values.html", "tides.html", "calendar.html", "journal.html", "commandline.html"}) {
        const QString text = plainTextOf(QString::fromLatin1(file)).simplified();
        EXPECT_TRUE(text.contains(QStringLiteral("noaa"))) << file;
        EXPECT_TRUE(text.contains(QStringLiteral("not for navigation"))) << file;
        EXPECT_TRUE(text.contains(QStringLiteral("datum"))) << file;
    }
    const QString tides = plainTextOf(QStringLiteral("tides.html")).simplified();
    for (const char* words : {"xtide-data", "2019-12-29", "mean lower low water",
                              "none within 100 km", "moonbite_harmonics"})
        EXPECT_TRUE(tides.contains(QString::fromLatin1(words))) << words;
}

TEST(HelpPages, EveryCompiledPageIsListed) {
    const QStringList files = HelpViewer::pageFiles();
    int pages = 0;
    QDirIterator it(QStringLiteral(":/help"));
    while (it.hasNext()) {
        const QString name = QFileInfo(it.next()).fileName();
        if (!name.endsWith(QStringLiteral(".html"))) continue;
        ++pages;
        EXPECT_TRUE(files.contains(name)) << name.toStdString();
    }
    EXPECT_EQ(pages, files.size());
}

TEST(HelpSearch, TideListsThePagesOfTheTidesButNotTheSettings) {
    HelpViewer v;
    typeSearch(v, QStringLiteral("tide"));
    const QStringList listed = v.listedTitles();
    EXPECT_TRUE(listed.contains(kTides));
    EXPECT_TRUE(listed.contains(kJournal));
    EXPECT_TRUE(listed.contains(kCalendar));
    EXPECT_FALSE(listed.contains(kSettings));
    EXPECT_FALSE(listed.contains(kContents));
    // The list agrees with the pages' own text.
    for (const QString& file : HelpViewer::pageFiles()) {
        if (file == QStringLiteral("index.html")) continue;
        const bool hasWord = plainTextOf(file).contains(QStringLiteral("tide"));
        EXPECT_EQ(listed.contains(titleOf(file)), hasWord) << file.toStdString();
    }
}

TEST(HelpSearch, IsCaseInsensitive) {
    HelpViewer v;
    typeSearch(v, QStringLiteral("tide"));
    const QStringList lower = v.listedTitles();
    typeSearch(v, QStringLiteral("TiDe"));
    EXPECT_EQ(v.listedTitles(), lower);
}

TEST(HelpSearch, TwoWordsNarrowTheList) {
    HelpViewer v;
    typeSearch(v, QStringLiteral("sunrise"));
    const QStringList one = v.listedTitles();
    ASSERT_GE(one.size(), 2);
    typeSearch(v, QStringLiteral("sunrise   printer"));
    const QStringList two = v.listedTitles();
    EXPECT_EQ(two, QStringList{kCalendar});
    for (const QString& t : two)
        EXPECT_TRUE(one.contains(t)) << t.toStdString();
    // The words may come in any order.
    typeSearch(v, QStringLiteral("printer sunrise"));
    EXPECT_EQ(v.listedTitles(), two);
}

TEST(HelpSearch, NoMatchListsNothingAndSaysSo) {
    HelpViewer v;
    typeSearch(v, QStringLiteral("tide xylophone"));
    EXPECT_TRUE(v.listedTitles().isEmpty());
    auto* status = v.findChild<QLabel*>(QStringLiteral("helpStatus"));
    ASSERT_NE(status, nullptr);
    EXPECT_FALSE(status->text().isEmpty());
    searchBox(v)->clear();
    EXPECT_EQ(v.listedTitles().size(), HelpViewer::pageFiles().size());
    EXPECT_TRUE(status->text().isEmpty());
}

TEST(HelpSearch, MarksTheWordsInTheShownPage) {
    HelpViewer v;
    v.showTopic(moonbite::kHelpJournal);
    QTextBrowser* browser = browserOf(v);
    typeSearch(v, QStringLiteral("tide"));
    EXPECT_EQ(browser->textCursor().selectedText().toLower(), QStringLiteral("tide"));
    // The first match is selected: nothing before it holds the word.
    const QString text = browser->document()->toPlainText().toLower();
    EXPECT_EQ(browser->textCursor().selectionStart(), text.indexOf(QStringLiteral("tide")));
    EXPECT_EQ(browser->extraSelections().size(), text.count(QStringLiteral("tide")));

    searchBox(v)->clear();
    EXPECT_FALSE(browser->textCursor().hasSelection());
    EXPECT_TRUE(browser->extraSelections().isEmpty());
}

TEST(HelpSearch, EnterOpensTheFirstListedPage) {
    HelpViewer v;
    v.showTopic(moonbite::kHelpProgramSettings);
    typeSearch(v, QStringLiteral("printer"));
    EXPECT_EQ(v.currentTitle(), kSettings);  // typing alone does not move away
    QTest::keyClick(searchBox(v), Qt::Key_Return);
    EXPECT_EQ(v.currentTitle(), kCalendar);
    EXPECT_EQ(browserOf(v)->textCursor().selectedText().toLower(), QStringLiteral("printer"));
}

TEST(HelpNavigation, ListBackForwardAndHome) {
    HelpViewer v;
    v.showTopic(moonbite::kHelpProgramSettings);
    QToolButton* back = button(v, "helpBack");
    QToolButton* forward = button(v, "helpForward");
    listOf(v)->setCurrentRow(rowOf(v, kJournal));
    EXPECT_EQ(v.currentTitle(), kJournal);
    EXPECT_TRUE(back->isEnabled());
    EXPECT_FALSE(forward->isEnabled());

    back->click();
    EXPECT_EQ(v.currentTitle(), kSettings);
    EXPECT_EQ(listOf(v)->currentRow(), rowOf(v, kSettings));
    EXPECT_TRUE(forward->isEnabled());
    forward->click();
    EXPECT_EQ(v.currentTitle(), kJournal);

    button(v, "helpHome")->click();
    EXPECT_EQ(v.currentTitle(), kContents);
    EXPECT_EQ(listOf(v)->currentRow(), rowOf(v, kContents));
}

TEST(HelpNavigation, LinksBetweenPagesUpdateTheList) {
    HelpViewer v;
    v.showTopic(moonbite::kHelpJournal);
    QTextBrowser* browser = browserOf(v);
    browser->setSource(browser->source().resolved(QUrl(QStringLiteral("prediction.html"))));
    EXPECT_EQ(v.currentTitle(), titleOf(QStringLiteral("prediction.html")));
    EXPECT_EQ(listOf(v)->currentItem()->text(), v.currentTitle());
}

TEST(HelpNavigation, KeyboardGoesBackForwardAndCloses) {
    HelpViewer v;
    v.show();
    v.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&v));
    v.showTopic(moonbite::kHelpProgramSettings);
    v.showTopic(moonbite::kHelpJournal);
    ASSERT_EQ(v.currentTitle(), kJournal);

    QTest::keyClick(&v, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(v.currentTitle(), kSettings);
    QTest::keyClick(&v, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(v.currentTitle(), kJournal);

    // Also from the search box.
    searchBox(v)->setFocus();
    QTest::keyClick(searchBox(v), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(v.currentTitle(), kSettings);

    QTest::keyClick(&v, Qt::Key_Escape);
    EXPECT_FALSE(v.isVisible());
}

TEST(HelpWindow, OpenReusesTheOneWindow) {
    HelpViewer* a = HelpViewer::open(moonbite::kHelpProgramSettings);
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->isVisible());
    EXPECT_EQ(a->currentTitle(), kSettings);

    HelpViewer* b = HelpViewer::open(moonbite::kHelpJournal);
    EXPECT_EQ(a, b);
    EXPECT_EQ(b->currentTitle(), kJournal);

    // Closing hides the window; the next open shows the same one again.
    b->close();
    EXPECT_FALSE(b->isVisible());
    HelpViewer* c = HelpViewer::open(moonbite::kHelpContents);
    EXPECT_EQ(c, a);
    EXPECT_TRUE(c->isVisible());
    EXPECT_EQ(c->currentTitle(), kContents);
    EXPECT_FALSE(c->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_FALSE(c->testAttribute(Qt::WA_QuitOnClose));

    // Once the window is gone, open makes a new one.
    delete c;
    HelpViewer* d = HelpViewer::open(99);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->currentTitle(), kContents);
    delete d;
}

TEST(HelpWindow, Screenshot) {
    // Into docs/screenshots only when asked for; a temporary folder otherwise.
    QTemporaryDir scratch;
    HelpViewer v;
    // Away from the pointer, so that no button is drawn hovered.
    v.move(QCursor::pos() + QPoint(40, 40));
    v.show();
    v.showTopic(moonbite::kHelpProgramSettings);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    // Keep the pointer off the buttons so none is drawn hovered.
    QApplication::processEvents();
    const QString folder = qEnvironmentVariableIsEmpty("MOONBITE_SCREENSHOTS")
                               ? scratch.path()
                               : QStringLiteral(MOONBITE_SOURCE_DIR "/docs/screenshots");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/help.png");
    const QImage shot = v.grab().toImage();
    ASSERT_FALSE(shot.isNull());
    ASSERT_TRUE(shot.save(path, "PNG"));
    EXPECT_TRUE(QImage(path).size() == shot.size());
}
