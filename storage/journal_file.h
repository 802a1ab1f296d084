// The fishing journal on disk: one trip per file, "jour<N>.dat" in the journal
// folder. Qt Core only, so the journal window and the command-line tool share it.
//
// A file is plain text of 13 lines ended by CR LF, every field a double-quoted
// string, the fields of a line separated by a bare comma; each line starts
// with a label:
//    "Date:","25","3","1999"
//    "Notes:","<notes; line breaks written inside the quotes as CR LF>"
//    "Temperature:","..."          "Trip Time:","..."
//    "Tide Type:","..."            "Wind Strength:","..."
//    "Quantity of Fish:","..."     "Wind:","..."
//    "Tide:","..."                 "Catch:","..."
//    "G.P.S mark or location:","<first>"
//    "G.P.S mark or location:","<second>"
//    "Best Time:","..."
// 28 fields in all. Readers take them by position and ignore the labels and
// the line structure, so files with other labels or other line ends read too.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace moonbite {

/// Entry numbers run from 1 to this; anything else is never a file name.
inline constexpr int kMaxJournalEntry = 32767;
/// Fields of one trip record, labels included.
inline constexpr int kJournalFieldCount = 28;
/// A trip takes a few hundred bytes; a file larger than this is no entry and
/// is never read whole.
inline constexpr qint64 kMaxJournalFileBytes = qint64{1} << 20;

/// One trip, every field as the user typed it. Line breaks are "\n".
struct JournalEntry {
    QString day, month, year;
    QString notes;
    QString temperature;
    QString tripTime;
    QString tideType;  // spring or neap
    QString windStrength;
    QString quantity;  // number of fish
    QString wind;      // direction
    QString tide;      // state of the tide
    QString catchRating;
    QString gps1, gps2;  // latitude and longitude, or two lines of a place
    QString bestTime;    // best bite period

    friend bool operator==(const JournalEntry&, const JournalEntry&) = default;
};

enum class JournalReadStatus {
    Ok,
    /// No such file, or an entry number outside 1..kMaxJournalEntry.
    Missing,
    /// Something is there but is no trip record: fewer than 28 fields, text
    /// outside the quotes, an unterminated quote, NUL bytes (not text), a
    /// field count that is not a whole number of records, larger than
    /// kMaxJournalFileBytes, unreadable, or not a regular file at all (a
    /// folder, pipe, socket, device, dangling link or link loop; such a thing
    /// is never opened).
    Broken,
};

struct JournalReadResult {
    JournalReadStatus status = JournalReadStatus::Missing;
    JournalEntry entry;  // empty unless status is Ok
    QString error;       // why, naming the file; empty when Ok
};

/// The journal folder: "journal" in executableDir when that folder exists and
/// is writable (a portable install), otherwise
/// QStandardPaths::GenericDataLocation + "/Moonbite/journal". The data folder
/// does not depend on the application or organisation name, so the window
/// program and the command-line tool find the same journal. The folder may not
/// exist yet.
[[nodiscard]] QString journalFolder(const QString& executableDir);

/// folder + "/jour<N>.dat"; empty when entryNumber is outside 1..kMaxJournalEntry.
[[nodiscard]] QString journalFilePath(const QString& folder, int entryNumber);

/// Reads one entry from its file. Never throws: running out of memory makes
/// the entry Broken.
[[nodiscard]] JournalReadResult readJournalEntry(const QString& folder, int entryNumber);

/// Writes the entry, creating the folder when missing. The bytes go to a
/// temporary file that is renamed over the old one only when complete, so a
/// crash or a full disk never leaves a half-written entry in place of a good
/// one. On failure returns false, leaves any old file as it was, and sets
/// error (if given) to a message naming the file.
///
/// An entry path that is there but is not a regular file (see Broken) is
/// never replaced: the write fails. A regular file that does not read as an
/// entry is first kept as "jour<N>.dat.damaged" (or ".damaged.2", ".3" ...
/// when that name is taken; a kept copy is never overwritten), and
/// keptDamagedAs (if given) is set to its path; it is left empty otherwise.
/// When no copy can be kept the write fails.
///
/// The format cannot hold a double quote, so one typed into a field is stored
/// as a typographic quote: U+201C at the start of a field or after white
/// space, U+201D elsewhere. Line breaks (CR LF, LF or CR) are stored as CR LF
/// and read back as "\n"; NUL characters are dropped and unpaired surrogates
/// become U+FFFD. storedJournalEntry() gives the entry as it will read back.
bool writeJournalEntry(const QString& folder, int entryNumber, const JournalEntry& entry,
                       QString* error, QString* keptDamagedAs = nullptr);

/// The entry after the changes writing makes (see writeJournalEntry): what
/// reading the written file gives back.
[[nodiscard]] JournalEntry storedJournalEntry(const JournalEntry& entry);

/// The exact bytes of the entry's file, UTF-8.
[[nodiscard]] QByteArray formatJournalEntry(const JournalEntry& entry);

/// Parses the bytes of a file (the reading half of readJournalEntry, without
/// the disk). Decoding as by decodeJournalText. When the file holds several
/// records of 28 fields the last one wins. error does not name a file. Never
/// throws.
[[nodiscard]] JournalReadResult parseJournalEntry(const QByteArray& bytes);

/// The text of a file: UTF-8 (an initial byte order mark dropped) when the
/// bytes are valid UTF-8, otherwise Windows-1252, the code page older files of
/// this format were written in.
[[nodiscard]] QString decodeJournalText(const QByteArray& bytes);

/// Windows-1252 by a fixed table, whatever text codecs this Qt build has.
/// Bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to
/// the control characters of the same value, as Windows does.
[[nodiscard]] QString decodeWindows1252(QByteArrayView bytes);

/// Numbers of the entries in the folder (names jour<N>.dat, N written without
/// sign or leading zeros, 1 <= N <= kMaxJournalEntry), ascending. Every such
/// name counts, whatever it is (a folder, pipe, dangling link ...), so that a
/// listing can show it as unreadable.
[[nodiscard]] QList<int> journalEntryNumbers(const QString& folder);

}  // namespace moonbite
