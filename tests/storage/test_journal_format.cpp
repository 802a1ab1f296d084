// The bytes of a journal file: writing, parsing, tolerance and rejection.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <iterator>
#include <random>
#include <utility>

#include "journal_file.h"
#include "journal_support.h"

namespace moonbite {
namespace {

// The sample trip as the format lays it out, typed by hand.
const QByteArray kSampleBytes =
    "\"Date:\",\"25\",\"3\",\"1999\"\r\n"
    "\"Notes:\",\"Flat calm at dawn.\r\nTwo bass, one lost at the net.\"\r\n"
    "\"Temperature:\",\"14\"\r\n"
    "\"Trip Time:\",\"5 hours\"\r\n"
    "\"Tide Type:\",\"Spring\"\r\n"
    "\"Wind Strength:\",\"Light\"\r\n"
    "\"Quantity of Fish:\",\"2\"\r\n"
    "\"Wind:\",\"NE\"\r\n"
    "\"Tide:\",\"Rising\"\r\n"
    "\"Catch:\",\"Good\"\r\n"
    "\"G.P.S mark or location:\",\"50 22.5 N\"\r\n"
    "\"G.P.S mark or location:\",\"4 08.1 W\"\r\n"
    "\"Best Time:\",\"06:10-08:10\"\r\n";

JournalReadResult parse(const QByteArray& bytes) {
    return parseJournalEntry(bytes);
}

// --- Writing -----------------------------------------------------------------

TEST(JournalFormat, SampleEntryGivesTheExactBytes) {
    EXPECT_EQ(formatJournalEntry(sampleEntry()), kSampleBytes);
}

TEST(JournalFormat, EmptyEntryIsThirteenLinesOfEmptyFields) {
    const QByteArray expected =
        "\"Date:\",\"\",\"\",\"\"\r\n"
        "\"Notes:\",\"\"\r\n"
        "\"Temperature:\",\"\"\r\n"
        "\"Trip Time:\",\"\"\r\n"
        "\"Tide Type:\",\"\"\r\n"
        "\"Wind Strength:\",\"\"\r\n"
        "\"Quantity of Fish:\",\"\"\r\n"
        "\"Wind:\",\"\"\r\n"
        "\"Tide:\",\"\"\r\n"
        "\"Catch:\",\"\"\r\n"
        "\"G.P.S mark or location:\",\"\"\r\n"
        "\"G.P.S mark or location:\",\"\"\r\n"
        "\"Best Time:\",\"\"\r\n";
    EXPECT_EQ(formatJournalEntry(JournalEntry{}), expected);
    const JournalReadResult back = parse(expected);
    EXPECT_EQ(back.status, JournalReadStatus::Ok) << back.error.toStdString();
    EXPECT_EQ(back.entry, JournalEntry{});
}

TEST(JournalFormat, EachFieldGoesToItsOwnPlace) {
    // A distinct value per field shows no two fields are swapped on either side.
    JournalEntry e;
    QString* fields[] = {&e.day,      &e.month,       &e.year,         &e.notes,    &e.temperature,
                         &e.tripTime, &e.tideType,    &e.windStrength, &e.quantity, &e.wind,
                         &e.tide,     &e.catchRating, &e.gps1,         &e.gps2,     &e.bestTime};
    int i = 0;
    for (QString* f : fields)
        *f = QStringLiteral("v%1").arg(++i);
    const QByteArray bytes = formatJournalEntry(e);
    EXPECT_EQ(bytes,
              "\"Date:\",\"v1\",\"v2\",\"v3\"\r\n\"Notes:\",\"v4\"\r\n\"Temperature:\",\"v5\"\r\n"
              "\"Trip Time:\",\"v6\"\r\n\"Tide Type:\",\"v7\"\r\n\"Wind Strength:\",\"v8\"\r\n"
              "\"Quantity of Fish:\",\"v9\"\r\n\"Wind:\",\"v10\"\r\n\"Tide:\",\"v11\"\r\n"
              "\"Catch:\",\"v12\"\r\n\"G.P.S mark or location:\",\"v13\"\r\n"
              "\"G.P.S mark or location:\",\"v14\"\r\n\"Best Time:\",\"v15\"\r\n");
    EXPECT_EQ(parse(bytes).entry, e);
}

TEST(JournalFormat, NonAsciiIsWrittenAsUtf8) {
    JournalEntry e;
    e.gps1 = QString::fromUtf8("Lac L\xC3\xA9man");
    e.notes = QString::fromUtf8("\xF0\x9F\x8E\xA3");
    const QByteArray bytes = formatJournalEntry(e);
    EXPECT_TRUE(bytes.contains("\"G.P.S mark or location:\",\"Lac L\xC3\xA9man\"\r\n"));
    EXPECT_TRUE(bytes.contains("\"Notes:\",\"\xF0\x9F\x8E\xA3\"\r\n"));
}

TEST(JournalFormat, RichEntryReadsBackUnchanged) {
    const JournalEntry e = richEntry();
    EXPECT_EQ(storedJournalEntry(e), e) << "nothing in it needs changing to be stored";
    const JournalReadResult back = parse(formatJournalEntry(e));
    ASSERT_EQ(back.status, JournalReadStatus::Ok) << back.error.toStdString();
    EXPECT_TRUE(back.error.isEmpty());
    EXPECT_EQ(back.entry, e);
}

TEST(JournalFormat, LineBreaksOfAnyKindAreWrittenAsCrLf) {
    JournalEntry e;
    e.notes = "a\r\nb\rc\nd\n";
    e.tide = "high\rlow";
    const QByteArray bytes = formatJournalEntry(e);
    EXPECT_TRUE(bytes.contains("\"Notes:\",\"a\r\nb\r\nc\r\nd\r\n\"\r\n"));
    EXPECT_TRUE(bytes.contains("\"Tide:\",\"high\r\nlow\"\r\n"));
    EXPECT_EQ(bytes.count('\r'), bytes.count('\n')) << "no CR or LF stands alone";
    EXPECT_EQ(parse(bytes).entry.notes, "a\nb\nc\nd\n");
    EXPECT_EQ(parse(bytes).entry.tide, "high\nlow");
}

TEST(JournalFormat, DoubleQuotesBecomeTypographicQuotes) {
    const QString open = QString(QChar(0x201C));
    const QString close = QString(QChar(0x201D));
    struct Case {
        QString typed, stored;
    };
    const Case cases[] = {
        {"He said \"big one\" today", "He said " + open + "big one" + close + " today"},
        {"\"Quoted\"", open + "Quoted" + close},
        {"line\n\"next\"", "line\n" + open + "next" + close},
        {"tab\t\"x\"", "tab\t" + open + "x" + close},
        {"5'6\" long", "5'6" + close + " long"},
        {"\"\"", open + close},
        {"\"", open},
    };
    for (const Case& c : cases) {
        JournalEntry e;
        e.notes = c.typed;
        e.bestTime = c.typed;
        const JournalEntry expected = [&] {
            JournalEntry x;
            x.notes = c.stored;
            x.bestTime = c.stored;
            return x;
        }();
        EXPECT_EQ(storedJournalEntry(e), expected) << c.typed.toStdString();
        const QByteArray bytes = formatJournalEntry(e);
        // 13 labels and 15 values, two quote marks each: no other '"' in the file.
        EXPECT_EQ(bytes.count('"'), 2 * 28) << c.typed.toStdString();
        const JournalReadResult back = parse(bytes);
        ASSERT_EQ(back.status, JournalReadStatus::Ok) << c.typed.toStdString();
        EXPECT_EQ(back.entry, expected) << c.typed.toStdString();
    }
}

TEST(JournalFormat, CharactersTextFilesCannotHoldAreCleanedBeforeWriting) {
    JournalEntry e;
    e.notes = QString("a") + QChar(0) + "b";
    e.wind = QString("x") + QChar(0xD83C) + "y" + QChar(0xDFA3);  // two unpaired surrogates
    const JournalEntry stored = storedJournalEntry(e);
    EXPECT_EQ(stored.notes, "ab");
    EXPECT_EQ(stored.wind, QString("x") + QChar(0xFFFD) + "y" + QChar(0xFFFD));
    const QByteArray bytes = formatJournalEntry(e);
    EXPECT_FALSE(bytes.contains('\0'));
    const JournalReadResult back = parse(bytes);
    ASSERT_EQ(back.status, JournalReadStatus::Ok) << back.error.toStdString();
    EXPECT_EQ(back.entry, stored);
}

TEST(JournalFormat, AnyTypedTextReadsBackAsStored) {
    // Random fields drawn from the characters that matter to the format.
    const QChar pool[] = {'a',           'Z',           '0',           ' ',           '\t',
                          ',',           '"',           '\r',          '\n',          '\'',
                          QChar(0),      QChar(0xE9),   QChar(0x20AC), QChar(0x201C), QChar(0xFEFF),
                          QChar(0xFFFF), QChar(0xD83C), QChar(0xDFA3), QChar(0x2028), QChar(0x1A)};
    std::mt19937 rng(20240601);
    std::uniform_int_distribution<int> length(0, 12);
    std::uniform_int_distribution<int> pick(0, std::size(pool) - 1);
    for (int round = 0; round < 500; ++round) {
        JournalEntry e;
        for (QString* f : {&e.day, &e.month, &e.year, &e.notes, &e.temperature, &e.tripTime,
                           &e.tideType, &e.windStrength, &e.quantity, &e.wind, &e.tide,
                           &e.catchRating, &e.gps1, &e.gps2, &e.bestTime}) {
            for (int n = length(rng); n > 0; --n)
                f->append(pool[pick(rng)]);
        }
        const JournalEntry stored = storedJournalEntry(e);
        ASSERT_EQ(storedJournalEntry(stored), stored) << "storing twice changes nothing";
        const JournalReadResult back = parse(formatJournalEntry(e));
        ASSERT_EQ(back.status, JournalReadStatus::Ok) << round << ": " << back.error.toStdString();
        ASSERT_EQ(back.entry, stored) << round;
    }
}

// --- Reading what others wrote -------------------------------------------------

TEST(JournalRead, OtherLabelsReadTheSame) {
    const QByteArray bytes =
        "\"Datum:\",\"25\",\"3\",\"1999\"\r\n"
        "\"Bemerkungen:\",\"Flat calm at dawn.\r\nTwo bass, one lost at the net.\"\r\n"
        "\"\",\"14\"\r\n"
        "\"x\",\"5 hours\"\r\n"
        "\"Tide Type\",\"Spring\"\r\n"
        "\"Wind:\",\"Light\"\r\n"
        "\"Fish:\",\"2\"\r\n"
        "\"1\",\"NE\"\r\n"
        "\"2\",\"Rising\"\r\n"
        "\"3\",\"Good\"\r\n"
        "\"Lat\",\"50 22.5 N\"\r\n"
        "\"Lon\",\"4 08.1 W\"\r\n"
        "\"Best Time:\",\"06:10-08:10\"\r\n";
    const JournalReadResult r = parse(bytes);
    ASSERT_EQ(r.status, JournalReadStatus::Ok) << r.error.toStdString();
    EXPECT_EQ(r.entry, sampleEntry());
}

TEST(JournalRead, LineEndsAndLayoutDoNotMatter) {
    const JournalEntry sample = sampleEntry();
    QByteArray noFinalBreak = kSampleBytes;
    noFinalBreak.chop(2);
    QByteArray lfOnly = kSampleBytes;
    lfOnly.replace("\r\n", "\n");
    QByteArray crOnly = kSampleBytes;
    crOnly.replace("\r\n", "\r");
    QByteArray lfNoFinal = lfOnly;
    lfNoFinal.chop(1);
    // Fields are taken by position, so one long line reads the same.
    QByteArray oneLine = kSampleBytes;
    oneLine.replace("\"\r\n\"", "\",\"");
    QByteArray blanks = kSampleBytes;
    blanks.replace("\",\"", "\" ,\t\"");
    blanks.replace("\r\n\"", "\r\n  \"");
    blanks.replace("\"\r\n", "\"  \r\n");
    QByteArray emptyLines = kSampleBytes;
    emptyLines.replace("\"\r\n\"Temp", "\"\r\n\r\n \r\n\"Temp");
    emptyLines.append("\r\n\r\n");
    const QByteArray bom = "\xEF\xBB\xBF" + kSampleBytes;

    const std::pair<const char*, QByteArray> variants[] = {
        {"no final CR LF", noFinalBreak},
        {"LF only", lfOnly},
        {"CR only", crOnly},
        {"LF only, no final LF", lfNoFinal},
        {"one line", oneLine},
        {"blanks around fields", blanks},
        {"empty lines", emptyLines},
        {"UTF-8 byte order mark", bom},
    };
    for (const auto& [name, bytes] : variants) {
        const JournalReadResult r = parse(bytes);
        ASSERT_EQ(r.status, JournalReadStatus::Ok) << name << ": " << r.error.toStdString();
        EXPECT_EQ(r.entry, sample) << name;
    }
}

TEST(JournalRead, LineBreaksInsideFieldsAreAnyKind) {
    QByteArray bytes = kSampleBytes;
    bytes.replace("dawn.\r\nTwo", "dawn.\nTwo\rThree\r\n\nFour");
    const JournalReadResult r = parse(bytes);
    ASSERT_EQ(r.status, JournalReadStatus::Ok) << r.error.toStdString();
    EXPECT_EQ(r.entry.notes, "Flat calm at dawn.\nTwo\nThree\n\nFour bass, one lost at the net.");
    EXPECT_EQ(r.entry.temperature, "14");
}

TEST(JournalRead, TheLastOfSeveralRecordsWins) {
    JournalEntry older = sampleEntry();
    older.day = "24";
    older.notes = "older copy";
    const JournalReadResult r = parse(formatJournalEntry(older) + kSampleBytes);
    ASSERT_EQ(r.status, JournalReadStatus::Ok) << r.error.toStdString();
    EXPECT_EQ(r.entry, sampleEntry());
    const JournalReadResult three = parse(kSampleBytes + kSampleBytes + formatJournalEntry(older));
    ASSERT_EQ(three.status, JournalReadStatus::Ok) << three.error.toStdString();
    EXPECT_EQ(three.entry, older);
}

// --- Rejected files ------------------------------------------------------------

TEST(JournalRead, ShortAndGarbledFilesAreBroken) {
    QByteArray noBestTime = kSampleBytes;
    noBestTime.chop(QByteArray("\"Best Time:\",\"06:10-08:10\"\r\n").size());
    QByteArray noLastField = kSampleBytes;
    noLastField.replace(",\"06:10-08:10\"", "");
    QByteArray extraField = kSampleBytes;
    extraField.replace("\"06:10-08:10\"", "\"06:10-08:10\",\"more\"");
    QByteArray unquoted = kSampleBytes;
    unquoted.replace("\"25\"", "25");
    QByteArray afterQuote = kSampleBytes;
    afterQuote.replace("\"14\"", "\"14\" C");
    QByteArray beforeQuote = kSampleBytes;
    beforeQuote.replace("\"14\"", "C\"14\"");
    // Doubled quotes are no escape here: they are two fields with no comma.
    QByteArray doubled = kSampleBytes;
    doubled.replace("\"NE\"", "\"N\"\"E\"");
    QByteArray missingComma = kSampleBytes;
    missingComma.replace("\"Wind:\",\"NE\"", "\"Wind:\" \"NE\"");
    QByteArray doubleComma = kSampleBytes;
    doubleComma.replace("\"Wind:\",\"NE\"", "\"Wind:\",,\"NE\"");
    QByteArray leadingComma = kSampleBytes;
    leadingComma.replace("\"Wind:\",\"NE\"", ",\"Wind:\",\"NE\"");
    QByteArray trailingComma = kSampleBytes;
    trailingComma.replace("\"NE\"\r\n", "\"NE\",\r\n");
    QByteArray endsInComma = kSampleBytes;
    endsInComma.replace("\"06:10-08:10\"\r\n", "\"06:10-08:10\",");
    QByteArray unterminated = kSampleBytes;
    unterminated.chop(3);
    QByteArray openQuoteAtEnd = kSampleBytes + "\"";
    QByteArray nul = kSampleBytes;
    nul.replace("Good", QByteArray("Go\0od", 5));
    QByteArray utf16;
    for (char c : kSampleBytes) {
        utf16 += c;
        utf16 += '\0';
    }

    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"blank", "  \r\n\r\n"},
        {"plain text", "Went fishing, caught nothing.\r\n"},
        {"27 fields", noBestTime},
        {"27 fields, label kept", noLastField},
        {"29 fields", extraField},
        {"unquoted field", unquoted},
        {"text after a quote", afterQuote},
        {"text before a quote", beforeQuote},
        {"doubled quote", doubled},
        {"missing comma", missingComma},
        {"double comma", doubleComma},
        {"comma at line start", leadingComma},
        {"comma at line end", trailingComma},
        {"file ends in a comma", endsInComma},
        {"unterminated quote", unterminated},
        {"quote opened at the end", openQuoteAtEnd},
        {"NUL byte", nul},
        {"UTF-16", utf16},
    };
    for (const auto& [name, bytes] : cases) {
        const JournalReadResult r = parse(bytes);
        EXPECT_EQ(r.status, JournalReadStatus::Broken) << name;
        EXPECT_FALSE(r.error.isEmpty()) << name;
        EXPECT_EQ(r.entry, JournalEntry{}) << name << ": a broken file gives no half entry";
    }
}

TEST(JournalRead, ErrorsSayWhatIsWrong) {
    QByteArray unquoted = kSampleBytes;
    unquoted.replace("\"Good\"", "Good");
    // Lines as an editor numbers them: the two lines of notes count.
    EXPECT_TRUE(parse(unquoted).error.contains("line 11")) << parse(unquoted).error.toStdString();
    EXPECT_TRUE(parse("\"a\",\"b\"").error.contains("2 of the 28"));
    EXPECT_TRUE(parse(QByteArray("\"a\0\"", 4)).error.contains("NUL"));
}

TEST(JournalRead, EveryTruncationOfAGoodFileIsBrokenUnlessOnlyTheLastLineEndIsCut) {
    for (const QByteArray& full : {kSampleBytes, formatJournalEntry(richEntry())}) {
        const JournalReadResult whole = parse(full);
        ASSERT_EQ(whole.status, JournalReadStatus::Ok);
        for (qsizetype length = 0; length < full.size(); ++length) {
            const JournalReadResult r = parse(full.left(length));
            if (length >= full.size() - 2) {
                EXPECT_EQ(r.status, JournalReadStatus::Ok) << length;
                EXPECT_EQ(r.entry, whole.entry) << length;
            } else {
                EXPECT_EQ(r.status, JournalReadStatus::Broken) << "cut at " << length;
            }
        }
    }
}

TEST(JournalRead, RandomBytesNeverCrashTheReader) {
    // Weighted towards the characters the parser acts on, so that runs get deep.
    const char alphabet[] = "\"\"\"\",,,\r\n\n  aZ9:\t\xE9\x80\x93\xC3\xA9\xF0\x9F\xEF\xBB\xBF";
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> pick(0, sizeof alphabet - 1);  // the final NUL too
    std::uniform_int_distribution<int> length(0, 600);
    int ok = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes;
        for (int n = length(rng); n > 0; --n)
            bytes += alphabet[pick(rng)];
        const JournalReadResult r = parse(bytes);
        ASSERT_NE(r.status, JournalReadStatus::Missing);
        ASSERT_EQ(r.error.isEmpty(), r.status == JournalReadStatus::Ok) << round;
        if (r.status == JournalReadStatus::Ok) {
            ++ok;
            // Whatever was read must survive being written again.
            ASSERT_EQ(parse(formatJournalEntry(r.entry)).entry, storedJournalEntry(r.entry));
        }
    }
    RecordProperty("ok", ok);
}

TEST(JournalRead, DamagedGoodFilesNeverCrashTheReader) {
    const QByteArray full = formatJournalEntry(richEntry());
    std::mt19937 rng(11);
    std::uniform_int_distribution<qsizetype> where(0, full.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    int ok = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = full;
        for (int n = 1 + round % 4; n > 0; --n)
            bytes[where(rng)] = static_cast<char>(byte(rng));
        const JournalReadResult r = parse(bytes);
        ASSERT_NE(r.status, JournalReadStatus::Missing);
        if (r.status == JournalReadStatus::Ok) {
            ++ok;
            ASSERT_TRUE(r.error.isEmpty());
            const JournalReadResult again = parse(formatJournalEntry(r.entry));
            ASSERT_EQ(again.entry, storedJournalEntry(r.entry)) << round;
        } else {
            ASSERT_FALSE(r.error.isEmpty()) << round;
        }
    }
    // Most single-byte changes land inside a field and leave a readable file.
    EXPECT_GT(ok, 0);
}

}  // namespace
}  // namespace moonbite
