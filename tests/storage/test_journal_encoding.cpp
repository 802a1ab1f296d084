// Journal files in UTF-8 and in the Windows-1252 code page.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include "journal_file.h"
#include "journal_support.h"

namespace moonbite {
namespace {

// A trip file as an older program would write it: every byte a character.
QByteArray codePageFile(const QByteArray& place, const QByteArray& notes,
                        const QByteArray& temperature) {
    return "\"Date:\",\"1\",\"6\",\"2003\"\r\n\"Notes:\",\"" + notes + "\"\r\n\"Temperature:\",\"" +
           temperature +
           "\"\r\n\"Trip Time:\",\"\"\r\n\"Tide Type:\",\"\"\r\n\"Wind Strength:\",\"\"\r\n"
           "\"Quantity of Fish:\",\"\"\r\n\"Wind:\",\"\"\r\n\"Tide:\",\"\"\r\n\"Catch:\",\"\"\r\n"
           "\"G.P.S mark or location:\",\"" +
           place + "\"\r\n\"G.P.S mark or location:\",\"\"\r\n\"Best Time:\",\"\"\r\n";
}

TEST(JournalEncoding, Windows1252TableMatchesTheCodePage) {
    const QString text = decodeWindows1252("\xE9\x80\x93\x94\x85\x9F\xFF\x41\x7F\x81");
    ASSERT_EQ(text.size(), 10);
    EXPECT_EQ(text[0], QChar(0x00E9));  // é
    EXPECT_EQ(text[1], QChar(0x20AC));  // €
    EXPECT_EQ(text[2], QChar(0x201C));  // “
    EXPECT_EQ(text[3], QChar(0x201D));  // ”
    EXPECT_EQ(text[4], QChar(0x2026));  // …
    EXPECT_EQ(text[5], QChar(0x0178));  // Ÿ
    EXPECT_EQ(text[6], QChar(0x00FF));  // ÿ
    EXPECT_EQ(text[7], QChar('A'));
    EXPECT_EQ(text[8], QChar(0x7F));
    EXPECT_EQ(text[9], QChar(0x81));  // undefined in the code page: passed through
}

TEST(JournalEncoding, Windows1252TableAgreesWithQtWhenQtHasTheCodePage) {
    QStringDecoder qt("Windows-1252");
    if (!qt.isValid()) GTEST_SKIP() << "this Qt build has no Windows-1252 codec";
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const QString fromQt = qt(all);
    const QString fromTable = decodeWindows1252(all);
    ASSERT_EQ(fromQt.size(), 256);
    ASSERT_EQ(fromTable.size(), 256);
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(fromTable[b].unicode(), fromQt[b].unicode()) << "byte " << b;
    }
}

TEST(JournalEncoding, ValidUtf8IsReadAsUtf8) {
    EXPECT_EQ(decodeJournalText("Lac L\xC3\xA9man"), QString::fromUtf8("Lac L\xC3\xA9man"));
    EXPECT_EQ(decodeJournalText("\xF0\x9F\x8E\xA3"), QString(QChar(0xD83C)) + QChar(0xDFA3));
    EXPECT_EQ(decodeJournalText("plain"), "plain");
    EXPECT_EQ(decodeJournalText(""), "");
}

TEST(JournalEncoding, AnInitialByteOrderMarkIsDropped) {
    EXPECT_EQ(decodeJournalText("\xEF\xBB\xBF\"a\""), "\"a\"");
    // Only the first: a second one is text.
    EXPECT_EQ(decodeJournalText("\xEF\xBB\xBF\xEF\xBB\xBF"), QString(QChar(0xFEFF)));
    // A byte order mark on a file that is not UTF-8 after all is still no text.
    EXPECT_EQ(decodeJournalText("\xEF\xBB\xBF\xE9"), QString(QChar(0xE9)));
}

TEST(JournalEncoding, BytesThatAreNotUtf8AreReadAsWindows1252) {
    EXPECT_EQ(decodeJournalText("Lac L\xE9man"), QString::fromUtf8("Lac L\xC3\xA9man"));
    EXPECT_EQ(decodeJournalText("\x80 5"), QString::fromUtf8("\xE2\x82\xAC 5"));
    // One stray byte decides for the whole file, so UTF-8-looking pairs are
    // then code-page characters too.
    EXPECT_EQ(decodeJournalText("\xC3\xA9 \xE9"), QString::fromUtf8("\xC3\x83\xC2\xA9 \xC3\xA9"));
    // Overlong forms and encoded surrogates are not UTF-8.
    EXPECT_EQ(decodeJournalText("\xC0\xAF"), QString::fromUtf8("\xC3\x80\xC2\xAF"));
    EXPECT_EQ(decodeJournalText("\xED\xA0\x80").size(), 3);
}

TEST(JournalEncoding, CodePageFileReadsCorrectly) {
    const JournalReadResult r =
        parseJournalEntry(codePageFile("Lac L\xE9man",
                                       "\x93"
                                       "Big one\x94 at the weir, \x80 2 bait",
                                       "12\xB0"));
    ASSERT_EQ(r.status, JournalReadStatus::Ok) << r.error.toStdString();
    EXPECT_EQ(r.entry.gps1, QString::fromUtf8("Lac L\xC3\xA9man"));
    EXPECT_EQ(r.entry.notes,
              QString::fromUtf8("\xE2\x80\x9C"
                                "Big one\xE2\x80\x9D at the weir, \xE2\x82\xAC 2 bait"));
    EXPECT_EQ(r.entry.temperature, QString::fromUtf8("12\xC2\xB0"));
    EXPECT_EQ(r.entry.year, "2003");
}

TEST(JournalEncoding, Utf8FileReadsCorrectly) {
    const JournalReadResult r = parseJournalEntry(
        codePageFile("Lac L\xC3\xA9man", "\xF0\x9F\x8E\xA3 \xE2\x82\xAC", "12\xC2\xB0"));
    ASSERT_EQ(r.status, JournalReadStatus::Ok) << r.error.toStdString();
    EXPECT_EQ(r.entry.gps1, QString::fromUtf8("Lac L\xC3\xA9man"));
    EXPECT_EQ(r.entry.notes, QString::fromUtf8("\xF0\x9F\x8E\xA3 \xE2\x82\xAC"));
    EXPECT_EQ(r.entry.temperature, QString::fromUtf8("12\xC2\xB0"));
}

TEST(JournalEncoding, CodePageFileSavedAgainBecomesUtf8) {
    const JournalReadResult old = parseJournalEntry(codePageFile("Lac L\xE9man", "\x80", ""));
    ASSERT_EQ(old.status, JournalReadStatus::Ok);
    const QByteArray saved = formatJournalEntry(old.entry);
    EXPECT_TRUE(saved.contains("\"Lac L\xC3\xA9man\""));
    EXPECT_TRUE(saved.contains("\"Notes:\",\"\xE2\x82\xAC\""));
    EXPECT_EQ(parseJournalEntry(saved).entry, old.entry);
}

}  // namespace
}  // namespace moonbite
