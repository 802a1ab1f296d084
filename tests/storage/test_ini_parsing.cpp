// The reader against QSettings on the same bytes: hand-written files for each
// rule of the format (the expected texts are what Qt 6.4 reads, and each file
// is also parsed by QSettings itself), then thousands of seeded random files.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <random>
#include <string>

#include "ini_reader.h"
#include "qt_reference.h"

namespace moonbite::storage {
namespace {

using qtref::fromU16;
using qtref::shownBytes;
using qtref::storeText;
using qtref::toU16;

class IniParsing : public ::testing::Test {
  protected:
    // Parses the bytes with QSettings and with the reader and reports every
    // difference in keys, values and damage; returns the reader's result.
    IniFile compare(std::string_view bytes, const std::string& context = {}) {
        const QString path = dir_.path() + QStringLiteral("/case%1.ini").arg(counter_++);
        qtref::writeBytes(path, bytes);
        const IniFile mine = IniFile::parse(bytes);
        const std::string shown = context + "\nfile:\n" + shownBytes(bytes);
        {
            QSettings qt(path, QSettings::IniFormat);
            const QStringList qtKeys = qt.allKeys();
            std::vector<std::string> theirs;
            for (const QString& key : qtKeys)
                theirs.push_back(key.toUtf8().toStdString());
            EXPECT_EQ(mine.keys(), theirs) << shown;
            for (const QString& key : qtKeys) {
                const std::optional<std::u16string> text = mine.text(toU16(key));
                // A key of nothing but slashes cannot be asked for (QSettings refuses it).
                if (QString(key).remove(QLatin1Char('/')).isEmpty()) {
                    EXPECT_FALSE(text.has_value()) << shown;
                    continue;
                }
                if (!qt.contains(key)) {
                    EXPECT_FALSE(text.has_value()) << "key " << qtref::shownText(key) << shown;
                    continue;
                }
                const QVariant value = qt.value(key);
                if (!text) {
                    // Only serialised types other than text may be left unconverted.
                    const int type = value.typeId();
                    EXPECT_TRUE(type != QMetaType::QString && type != QMetaType::QByteArray &&
                                type != QMetaType::QStringList && value.isValid())
                        << "key " << qtref::shownText(key) << shown;
                    continue;
                }
                EXPECT_EQ(fromU16(*text), storeText(value))
                    << "key " << qtref::shownText(key) << shown;
            }
            const bool formatError = qt.status() == QSettings::FormatError;
            if (bytes.find('\0') == std::string_view::npos)
                EXPECT_EQ(mine.problem() == IniProblem::Damaged, formatError) << shown;
            else
                EXPECT_EQ(mine.problem(), IniProblem::Damaged) << shown;
        }
        QFile::remove(path);
        return mine;
    }

    QTemporaryDir dir_;
    int counter_ = 0;
};

TEST_F(IniParsing, SectionsNestAndGeneralIsTheTopLevel) {
    const IniFile f = compare(
        "top=1\n"
        "[General]\nalso=2\n"
        "[%General]\ng=3\n"
        "[Settings\\Locations\\Home]\nlatdeg=33\n"
        "  [ Spaced ]  \nk=4\n"
        "[Tail]ignored=x\nt=5\n"
        "[Settings]\nfirst=a\n"
        "[Other]\nx=1\n"
        "[Settings]\nsecond=b\n");
    EXPECT_EQ(f.value("top"), "1");
    EXPECT_EQ(f.value("also"), "2");
    EXPECT_EQ(f.value("General/g"), "3");
    EXPECT_EQ(f.value("Settings/Locations/Home/latdeg"), "33");
    EXPECT_EQ(f.get("Settings\\Locations\\Home\\", "latdeg"), "33");
    EXPECT_EQ(f.value("Spaced/k"), "4");
    EXPECT_EQ(f.value("Tail/t"), "5");
    // A section given twice holds the keys of both parts.
    EXPECT_EQ(f.value("Settings/first"), "a");
    EXPECT_EQ(f.value("Settings/second"), "b");
    // A group is not a key, and keys are case-sensitive.
    EXPECT_FALSE(f.value("Settings"));
    EXPECT_FALSE(f.value("settings/first"));
    EXPECT_EQ(f.problem(), IniProblem::None);
}

TEST_F(IniParsing, EscapesInSectionNamesAndKeys) {
    const IniFile f = compare(
        "[Settings\\Locations\\Caf%E9 %U65E5%U672C %25 %2F %5C]\nlatdeg=1\n"
        "[Raw\xC3\xA9\\Caf\xC3\xA9]\nk\xC3\xA9y=2\n"
        "[Keys]\n"
        "a\\b=3\n"
        "%41%=4\n"
        "%4=5\n"
        "% F=6\n"
        "%+7=7\n"
        "%-1=8\n"
        "%0x=9\n"
        "%U0x41=10\n"
        "%Uzz12=11\n"
        "  spaced key  =12\n");
    EXPECT_EQ(f.value("Settings/Locations/Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC % / \\/latdeg"),
              "1");
    EXPECT_EQ(f.value("Raw\xC3\xA9/Caf\xC3\xA9/k\xC3\xA9y"), "2");
    EXPECT_EQ(f.value("Keys/a/b"), "3");
    EXPECT_EQ(f.value("Keys/A%"), "4");
    EXPECT_EQ(f.value("Keys/%4"), "5");
    EXPECT_EQ(f.value("Keys/\x0F"), "6");
    EXPECT_EQ(f.value("Keys/\x07"), "7");
    EXPECT_EQ(f.value("Keys/%-1"), "8");
    EXPECT_EQ(f.value("Keys/%0x"), "9");
    EXPECT_EQ(f.value("Keys/A"), "10");
    EXPECT_EQ(f.value("Keys/%Uzz12"), "11");
    EXPECT_EQ(f.value("Keys/spaced key"), "12");
}

TEST_F(IniParsing, ValuesUnescapeLikeQSettings) {
    const IniFile f = compare(
        "[V]\n"
        "plain=  Hobart, Tasmania  \n"
        "quoted=\"  a, b ; c = d  \"\n"
        "mixed=x\"  q  \"  tail  \n"
        "escapes=\\a\\b\\f\\n\\r\\t\\v\\\"\\'\\\\\\?\\q\n"
        "hex=\\x41\\x42g\\x263a!\n"
        "octal=\\0\\101\\0101x\n"
        "continued=one \\\n   two\n"
        "crlf=a\\\r\nb\n"
        "multiline=\"first\nsecond\"\n"
        "comment=value ; a comment\n"
        "tabs=  \\t  v  \t \n"
        "utf8=Z\xC3\xBCrich \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80\n"
        "empty=\n"
        "blank=   \n"
        "equals=a=b=c\n"
        "cut=x  \\");
    EXPECT_EQ(f.value("V/plain"), "Hobart, Tasmania");
    EXPECT_EQ(f.value("V/quoted"), "  a, b ; c = d  ");
    EXPECT_EQ(f.value("V/mixed"), "x  q  tail  ");
    EXPECT_EQ(f.value("V/escapes"), "\a\b\f\n\r\t\v\"'\\?");
    EXPECT_EQ(f.value("V/hex"), "ABg\xE2\x98\xBA!");
    EXPECT_EQ(f.value("V/octal"), std::string("\0AAx", 4));
    // A backslash at the very end keeps the blanks before it.
    EXPECT_EQ(f.value("V/cut"), "x  ");
    EXPECT_EQ(f.value("V/continued"), "one    two");
    EXPECT_EQ(f.value("V/crlf"), "ab");
    EXPECT_EQ(f.value("V/multiline"), "first\nsecond");
    EXPECT_EQ(f.value("V/comment"), "value");
    EXPECT_EQ(f.value("V/tabs"), "\t  v");
    EXPECT_EQ(f.value("V/utf8"), "Z\xC3\xBCrich \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(f.value("V/empty"), "");
    EXPECT_EQ(f.value("V/blank"), "");
    EXPECT_EQ(f.value("V/equals"), "a=b=c");
    EXPECT_FALSE(f.value("V/missing"));
}

TEST_F(IniParsing, HandEditedListsAreJoinedWithCommaSpace) {
    const IniFile f = compare(
        "[L]\n"
        "two=a, b\n"
        "tight=a,b,c\n"
        "spaced=  a  ,  b  \n"
        "quotedItem=\"a, b\", c\n"
        "emptyItems=,,\n"
        "doubledAt=@@a, b\n"
        "variantItem=a, @ByteArray(x)\n");
    EXPECT_EQ(f.value("L/two"), "a, b");
    EXPECT_EQ(f.value("L/tight"), "a, b, c");
    EXPECT_EQ(f.value("L/spaced"), "a, b");
    EXPECT_EQ(f.value("L/quotedItem"), "a, b, c");
    EXPECT_EQ(f.value("L/emptyItems"), ", , ");
    EXPECT_EQ(f.value("L/doubledAt"), "@a, b");
    // A list with a serialised item is a variant list, which has no text.
    EXPECT_EQ(f.value("L/variantItem"), "");
}

TEST_F(IniParsing, SerialisedQtValuesAsFarAsTheyAreText) {
    const IniFile f = compare(
        "[S]\n"
        "bytes=@ByteArray(abc)\n"
        "bytesUtf8=@ByteArray(\\xc3\\xa9)\n"
        "bytesWide=@ByteArray(\xC3\xA9)\n"
        "string=@String(x\\0y)\n"
        "doubled=@@text\n"
        "invalid=@Invalid()\n"
        "rect=@Rect(1 2 3 4)\n"
        "badRect=@Rect(1 2)\n"
        "size=@Size(5 6)\n"
        "notClosed=@ByteArray(abc\n"
        "variantText=@Variant(\\0\\0\\0\\n\\0\\0\\0\\x4\\0h\\0i)\n"
        "variantNumber=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n");
    EXPECT_EQ(f.value("S/bytes"), "abc");
    EXPECT_EQ(f.value("S/bytesUtf8"), "\xC3\xA9");
    // Qt reads "é" as one Latin-1 byte, which is not UTF-8.
    EXPECT_EQ(f.value("S/bytesWide"), "\xEF\xBF\xBD");
    EXPECT_EQ(f.value("S/string"), std::string("x\0y", 3));
    EXPECT_EQ(f.value("S/doubled"), "@text");
    EXPECT_EQ(f.value("S/invalid"), "");
    EXPECT_EQ(f.value("S/rect"), "");
    EXPECT_EQ(f.value("S/badRect"), "@Rect(1 2)");
    EXPECT_EQ(f.value("S/size"), "");
    EXPECT_EQ(f.value("S/notClosed"), "@ByteArray(abc");
    EXPECT_EQ(f.value("S/variantText"), "hi");
    // A serialised number is present but not converted.
    EXPECT_TRUE(f.contains("S/variantNumber"));
    EXPECT_FALSE(f.converts("S/variantNumber"));
    EXPECT_FALSE(f.value("S/variantNumber"));
}

TEST_F(IniParsing, DuplicateKeysLastOneWinsAndLaterSectionsByName) {
    const IniFile f = compare(
        "[a]\nb\\c=1\nx=1\nx=2\n"
        "[a\\b]\nc=2\n"
        "[a]\nb\\c=3\nx=3\n");
    EXPECT_EQ(f.value("a/x"), "3");
    // The same key from two differently named sections: the section whose
    // name sorts later is read later.
    EXPECT_EQ(f.value("a/b/c"), "2");
}

TEST_F(IniParsing, CommentsBlankLinesAndLineEnds) {
    const IniFile f = compare(
        "; leading comment\r\n"
        "\r\n"
        "[Settings]\r\n"
        "   ; indented comment\r\n"
        "gmt=10\r\n"
        "\r"
        "latdeg=33\r"
        "NorS=S ; south\n"
        "  \t  \n"
        ";[NotASection]\n"
        "WorE=E");
    EXPECT_EQ(f.value("Settings/gmt"), "10");
    EXPECT_EQ(f.value("Settings/latdeg"), "33");
    EXPECT_EQ(f.value("Settings/NorS"), "S");
    EXPECT_EQ(f.value("Settings/WorE"), "E");
    EXPECT_EQ(f.keys().size(), 4U);
    EXPECT_EQ(f.problem(), IniProblem::None);
}

TEST_F(IniParsing, DamageIsReportedAndTheRestStillRead) {
    const IniFile junk = compare("[Settings]\ngmt=10\nthis is not a setting\nlatdeg=33\n");
    EXPECT_EQ(junk.problem(), IniProblem::Damaged);
    EXPECT_EQ(junk.reason(), "it is damaged (it holds lines that are not settings)");
    EXPECT_EQ(junk.value("Settings/gmt"), "10");
    EXPECT_EQ(junk.value("Settings/latdeg"), "33");

    const IniFile open = compare("[Settings\ngmt=10\n");
    EXPECT_EQ(open.problem(), IniProblem::Damaged);
    EXPECT_EQ(open.value("Settings/gmt"), "10");

    const IniFile binary = compare(std::string_view("[Settings]\ngmt=1\0\n", 17));
    EXPECT_EQ(binary.problem(), IniProblem::Damaged);
    EXPECT_EQ(binary.reason(), "it is damaged (it holds binary data)");

    // Qt steps over a byte-order mark when it looks for sections but then
    // finds it as a line of its own in front of the first one.
    const IniFile bom = compare("\xEF\xBB\xBF[Settings]\ngmt=10\n");
    EXPECT_EQ(bom.problem(), IniProblem::Damaged);
    EXPECT_EQ(bom.value("Settings/gmt"), "10");
    const IniFile bomKey = compare("\xEF\xBB\xBFgmt=10\n");
    EXPECT_EQ(bomKey.problem(), IniProblem::None);
    EXPECT_EQ(bomKey.value("gmt"), "10");
}

TEST_F(IniParsing, BadUtf8BecomesReplacementCharactersAsInQt) {
    const IniFile f = compare(
        "[U]\n"
        "stray=a\xFF"
        "b\x80"
        "c\n"
        "cut=\xE6\x97\n"
        "overlong=\xC0\x80|\xE0\x80\x80\n"
        "surrogate=\xED\xA0\x80\n"
        "tooHigh=\xF4\x90\x80\x80\n"
        "acrossEscape=\xC3\\x41\xA9\n"
        "bomFirst=\xEF\xBB\xBFX\n"
        "bomLater=X\xEF\xBB\xBF\n"
        "lone=\\xd800\n");
    EXPECT_EQ(f.value("U/stray"),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD"
              "c");
    EXPECT_EQ(f.value("U/acrossEscape"), "A\xC3\xA9");
    EXPECT_EQ(f.value("U/bomFirst"), "X");
    EXPECT_EQ(f.value("U/bomLater"), "X\xEF\xBB\xBF");
    // UTF-8 has no form for an unpaired surrogate; Qt writes "?".
    EXPECT_EQ(f.value("U/lone"), "?");
    EXPECT_EQ(f.text(u"U/lone"), std::u16string(1, char16_t{0xD800}));
}

TEST_F(IniParsing, LookupsNormaliseSlashesAsQSettingsDoes) {
    const IniFile f = compare("[Settings]\ngmt=10\n[Odd\\]\nk=1\n");
    EXPECT_EQ(f.value("/Settings//gmt/"), "10");
    EXPECT_EQ(f.get("\\Settings\\\\", "gmt"), "10");
    EXPECT_FALSE(f.get("Settings", ""));
    EXPECT_FALSE(f.value(""));
    // "[Odd\]" names the group "Odd/" + "/", which no normalised key reaches.
    EXPECT_FALSE(f.value("Odd/k"));
}

// Random files built from the pieces the format gives meaning to.
std::string randomIni(std::mt19937& rng) {
    static const char* const kPieces[] = {"a",
                                          "B",
                                          "z9",
                                          " ",
                                          "  ",
                                          "\t",
                                          "=",
                                          ";",
                                          ",",
                                          "\"",
                                          "\\",
                                          "%",
                                          "%4",
                                          "%41",
                                          "%U",
                                          "%U00e9",
                                          "%2F",
                                          "%5C",
                                          "%25",
                                          "%00",
                                          "1",
                                          "F",
                                          "U",
                                          "x",
                                          "0x",
                                          "+",
                                          "-",
                                          "@",
                                          "@@",
                                          "(",
                                          ")",
                                          "[",
                                          "]",
                                          "\n",
                                          "\r",
                                          "\r\n",
                                          "\xC3\xA9",
                                          "\xC3",
                                          "\xA9",
                                          "\xFF",
                                          "\xEF\xBB\xBF",
                                          "\xE6\x97\xA5",
                                          "\xF0\x9F\x98\x80",
                                          "\\x",
                                          "\\x4",
                                          "\\0",
                                          "\\1",
                                          "\\n",
                                          "\\\n",
                                          "\\\"",
                                          "\\\\",
                                          "\\q",
                                          "@ByteArray(",
                                          "@String(",
                                          "@Invalid()",
                                          "@Rect(1 2 3 4)",
                                          "general",
                                          "General",
                                          "%General",
                                          "\v",
                                          "\f",
                                          "\xC2\xA0",
                                          "Settings",
                                          "Locations",
                                          "place(1)",
                                          "nlist"};
    constexpr int kCount = static_cast<int>(sizeof kPieces / sizeof kPieces[0]);
    std::uniform_int_distribution<int> piece(0, kCount - 1);
    std::uniform_int_distribution<int> lines(1, 8);
    std::uniform_int_distribution<int> length(0, 6);
    std::uniform_int_distribution<int> kind(0, 9);
    std::string out;
    auto text = [&] {
        std::string t;
        for (int n = length(rng); n > 0; --n)
            t += kPieces[piece(rng)];
        return t;
    };
    for (int n = lines(rng); n > 0; --n) {
        switch (kind(rng)) {
            case 0:
                out += "[" + text() + "]";
                break;
            case 1:
                out += text();
                break;
            case 2:
                out += ";" + text();
                break;
            default:
                out += text() + "=" + text();
                break;
        }
        out += kind(rng) == 0 ? "\r\n" : "\n";
    }
    return out;
}

TEST_F(IniParsing, ThousandsOfRandomFilesReadAsQSettingsReadsThem) {
    const unsigned seed = 20240611;
    std::mt19937 rng(seed);
    for (int c = 0; c < 3000 && !HasFailure(); ++c) {
        const std::string bytes = randomIni(rng);
        compare(bytes, "seed " + std::to_string(seed) + ", case " + std::to_string(c));
    }
}

}  // namespace
}  // namespace moonbite::storage
