#include "journal_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <algorithm>
#include <array>

namespace moonbite {
namespace {

using Member = QString JournalEntry::*;

// The 13 lines of a file: a label, then up to three values.
struct Line {
    const char* label;
    std::array<Member, 3> values;
};

constexpr std::array<Line, 13> kLines{{
    {"Date:", {&JournalEntry::day, &JournalEntry::month, &JournalEntry::year}},
    {"Notes:", {&JournalEntry::notes}},
    {"Temperature:", {&JournalEntry::temperature}},
    {"Trip Time:", {&JournalEntry::tripTime}},
    {"Tide Type:", {&JournalEntry::tideType}},
    {"Wind Strength:", {&JournalEntry::windStrength}},
    {"Quantity of Fish:", {&JournalEntry::quantity}},
    {"Wind:", {&JournalEntry::wind}},
    {"Tide:", {&JournalEntry::tide}},
    {"Catch:", {&JournalEntry::catchRating}},
    {"G.P.S mark or location:", {&JournalEntry::gps1}},
    {"G.P.S mark or location:", {&JournalEntry::gps2}},
    {"Best Time:", {&JournalEntry::bestTime}},
}};

constexpr int fieldsInLines() {
    int count = 0;
    for (const Line& line : kLines) {
        ++count;
        for (Member m : line.values)
            if (m != nullptr) ++count;
    }
    return count;
}
static_assert(fieldsInLines() == kJournalFieldCount);

bool validNumber(int entryNumber) {
    return entryNumber >= 1 && entryNumber <= kMaxJournalEntry;
}

QString outOfRange(int entryNumber) {
    return QStringLiteral("Journal entry number %1 is outside 1..%2")
        .arg(entryNumber)
        .arg(kMaxJournalEntry);
}

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// A field as it is stored: see writeJournalEntry in the header.
QString storedField(const QString& text) {
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QChar(0)) continue;
        if (c == QLatin1Char('\r')) {
            if (i + 1 < n && text[i + 1] == QLatin1Char('\n')) ++i;
            out += QLatin1Char('\n');
        } else if (c == QLatin1Char('"')) {
            const bool opening = out.isEmpty() || out.back().isSpace();
            out += QChar(opening ? 0x201C : 0x201D);
        } else if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate()) {
            out += QChar(QChar::ReplacementCharacter);
        } else {
            out += c;
        }
    }
    return out;
}

void appendQuoted(QByteArray& out, const QByteArray& utf8) {
    out += '"';
    out += utf8;
    out += '"';
}

// Splits the text into its quoted fields, in file order. Blanks may stand
// around fields; anything else outside the quotes makes the file garbled.
bool splitFields(const QString& text, QList<QString>& fields, QString& error) {
    enum class State { LineStart, AfterField, AfterComma };
    State state = State::LineStart;
    int line = 1;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            ++i;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (state == State::AfterComma) {
                error = QStringLiteral("line %1 ends with a comma").arg(line);
                return false;
            }
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n')) ++i;
            ++i;
            ++line;
            state = State::LineStart;
        } else if (c == QLatin1Char(',')) {
            if (state != State::AfterField) {
                error = QStringLiteral("a comma without a field before it on line %1").arg(line);
                return false;
            }
            ++i;
            state = State::AfterComma;
        } else if (c == QLatin1Char('"')) {
            if (state == State::AfterField) {
                error =
                    QStringLiteral("two fields without a comma between them on line %1").arg(line);
                return false;
            }
            const qsizetype close = text.indexOf(QLatin1Char('"'), i + 1);
            if (close < 0) {
                error = QStringLiteral("the quote opened on line %1 is never closed").arg(line);
                return false;
            }
            QString field = text.mid(i + 1, close - i - 1);
            line += static_cast<int>(field.count(QLatin1Char('\n')));
            line += static_cast<int>(field.count(QLatin1Char('\r')));
            line -= static_cast<int>(field.count(QStringLiteral("\r\n")));
            field.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            field.replace(QLatin1Char('\r'), QLatin1Char('\n'));
            fields.append(std::move(field));
            i = close + 1;
            state = State::AfterField;
        } else {
            error = QStringLiteral("text outside the quotes on line %1").arg(line);
            return false;
        }
    }
    if (state == State::AfterComma) {
        error = QStringLiteral("the file ends with a comma");
        return false;
    }
    return true;
}

JournalReadResult broken(QString error) {
    JournalReadResult result;
    result.status = JournalReadStatus::Broken;
    result.error = std::move(error);
    return result;
}

// Whether Qt can decode the code page itself (it can when built with ICU).
bool qtHasWindows1252() {
    static const bool has = QStringDecoder("Windows-1252").isValid();
    return has;
}

}  // namespace

QString journalFolder(const QString& executableDir) {
    if (!executableDir.isEmpty()) {
        const QFileInfo portable(QDir(executableDir).filePath(QStringLiteral("journal")));
        if (portable.isDir() && portable.isWritable()) return portable.absoluteFilePath();
    }
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // Without a data location the folder would land at the file-system root.
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/Moonbite/journal");
}

QString journalFilePath(const QString& folder, int entryNumber) {
    if (!validNumber(entryNumber)) return {};
    return QDir(folder).filePath(QStringLiteral("jour%1.dat").arg(entryNumber));
}

JournalEntry storedJournalEntry(const JournalEntry& entry) {
    JournalEntry out;
    for (const Line& line : kLines)
        for (Member m : line.values)
            if (m != nullptr) out.*m = storedField(entry.*m);
    return out;
}

QByteArray formatJournalEntry(const JournalEntry& entry) {
    QByteArray out;
    out.reserve(256 + entry.notes.size() * 2);
    for (const Line& line : kLines) {
        appendQuoted(out, QByteArray(line.label));
        for (Member m : line.values) {
            if (m == nullptr) continue;
            out += ',';
            appendQuoted(out, storedField(entry.*m).toUtf8().replace('\n', "\r\n"));
        }
        out += "\r\n";
    }
    return out;
}

QString decodeWindows1252(QByteArrayView bytes) {
    // 0x80..0x9F; the rest of the code page is Latin-1.
    static constexpr std::array<char16_t, 32> kHigh{
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        *dst++ = (b >= 0x80 && b <= 0x9F) ? QChar(kHigh[b - 0x80]) : QChar(b);
    }
    return out;
}

QString decodeJournalText(const QByteArray& bytes) {
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF")) view = view.sliced(3);
    // Stateless: a sequence cut off at the end is an error, not input held
    // back for a next chunk that never comes.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8(view);
    if (!utf8.hasError()) return text;
    if (qtHasWindows1252()) {
        QStringDecoder cp1252("Windows-1252", QStringConverter::Flag::Stateless);
        text = cp1252(view);
        if (!cp1252.hasError()) return text;
    }
    return decodeWindows1252(view);
}

JournalReadResult parseJournalEntry(const QByteArray& bytes) {
    if (bytes.contains('\0')) return broken(QStringLiteral("not a text file (it holds NUL bytes)"));

    QList<QString> fields;
    QString error;
    if (!splitFields(decodeJournalText(bytes), fields, error)) return broken(error);
    const qsizetype count = fields.size();
    if (count < kJournalFieldCount) {
        return broken(QStringLiteral("only %1 of the %2 fields of a trip")
                          .arg(count)
                          .arg(kJournalFieldCount));
    }
    // Extra whole records are older copies written before the last one; a
    // partial one leaves no way to tell which fields belong where.
    if (count % kJournalFieldCount != 0) {
        return broken(QStringLiteral("%1 fields are not a whole number of %2-field trips")
                          .arg(count)
                          .arg(kJournalFieldCount));
    }

    JournalReadResult result;
    result.status = JournalReadStatus::Ok;
    qsizetype pos = count - kJournalFieldCount;
    for (const Line& line : kLines) {
        ++pos;  // the label
        for (Member m : line.values)
            if (m != nullptr) result.entry.*m = std::move(fields[pos++]);
    }
    return result;
}

JournalReadResult readJournalEntry(const QString& folder, int entryNumber) {
    JournalReadResult result;
    if (!validNumber(entryNumber)) {
        result.error = outOfRange(entryNumber);
        return result;
    }
    const QString path = journalFilePath(folder, entryNumber);
    const QFileInfo info(path);
    if (!info.exists()) {
        result.error = QStringLiteral("There is no journal entry %1 (%2)")
                           .arg(entryNumber)
                           .arg(nativePath(path));
        return result;
    }
    if (!info.isFile()) return broken(QStringLiteral("%1 is not a file").arg(nativePath(path)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return broken(
            QStringLiteral("Cannot read %1: %2").arg(nativePath(path), file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return broken(
            QStringLiteral("Cannot read %1: %2").arg(nativePath(path), file.errorString()));
    }
    result = parseJournalEntry(bytes);
    if (result.status != JournalReadStatus::Ok) {
        result.error =
            QStringLiteral("%1 is not a journal entry: %2").arg(nativePath(path), result.error);
    }
    return result;
}

bool writeJournalEntry(const QString& folder, int entryNumber, const JournalEntry& entry,
                       QString* error) {
    auto fail = [error](const QString& message) {
        if (error != nullptr) *error = message;
        return false;
    };
    if (!validNumber(entryNumber)) return fail(outOfRange(entryNumber));
    const QString path = journalFilePath(folder, entryNumber);
    if (!QDir().mkpath(folder)) {
        return fail(QStringLiteral("Cannot save %1: the folder %2 cannot be created")
                        .arg(nativePath(path), nativePath(folder)));
    }
    // QSaveFile writes beside the target and renames only on commit; without
    // the direct-write fallback a folder we cannot create files in fails here
    // instead of truncating the old entry in place.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(QStringLiteral("Cannot save %1: %2").arg(nativePath(path), file.errorString()));
    }
    const QByteArray bytes = formatJournalEntry(entry);
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(QStringLiteral("Cannot save %1: %2").arg(nativePath(path), reason));
    }
    if (!file.commit()) {
        return fail(QStringLiteral("Cannot save %1: %2").arg(nativePath(path), file.errorString()));
    }
    return true;
}

QList<int> journalEntryNumbers(const QString& folder) {
    static const QRegularExpression kName(QStringLiteral("^jour([1-9][0-9]{0,4})\\.dat$"));
    QList<int> numbers;
    const QStringList names = QDir(folder).entryList(QDir::Files);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = kName.match(name);
        if (!match.hasMatch()) continue;
        const int number = match.captured(1).toInt();
        if (validNumber(number)) numbers.append(number);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

}  // namespace moonbite
