// A reader of the settings store's INI files that needs no Qt: it gives back
// what QSettings (Qt 6.4, IniFormat) reads from the same bytes, so the
// command-line tool can start without loading Qt.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace moonbite::storage {

/// The largest file that is parsed, the settings store's limit: 32,767 saved
/// locations at up to 2 KiB each. Anything larger is not ours.
inline constexpr std::size_t kMaxIniFileSize = 64 * 1024 * 1024;

/// Why a file's values cannot be trusted, in the order they are checked.
enum class IniProblem {
    None,        ///< a regular file that parses, or no file at all
    NotRegular,  ///< a folder, FIFO, device or dangling link: never opened
    TooLarge,    ///< larger than kMaxIniFileSize: never parsed
    CannotRead,  ///< stat, open or read failed (permissions, I/O error)
    Damaged,     ///< NUL bytes or lines QSettings rejects; still read for what it holds
};

/// One parsed INI file. Never throws; every failure is a problem() with a reason().
class IniFile {
  public:
    /// Reads the file at path the way the settings store does: stat first, a
    /// regular file only, opened with O_NONBLOCK, at most kMaxIniFileSize + 1
    /// bytes read. A missing file is an empty file without a problem.
    [[nodiscard]] static IniFile load(const std::string& path) noexcept;
    /// Parses bytes as QSettings parses a file's contents.
    [[nodiscard]] static IniFile parse(std::string_view bytes) noexcept;

    /// False when there was no file.
    [[nodiscard]] bool exists() const { return exists_; }
    [[nodiscard]] IniProblem problem() const { return problem_; }
    /// The settings store's wording ("it is not a regular file", "it is damaged
    /// (it holds binary data)", ...); empty when problem() is None.
    [[nodiscard]] const std::string& reason() const { return reason_; }
    /// True when values are read from the file: no problem, or a damaged file,
    /// which the store also reads for what it holds.
    [[nodiscard]] bool readable() const {
        return problem_ == IniProblem::None || problem_ == IniProblem::Damaged;
    }

    /// The value of a QSettings key ("Settings/Locations/nlist"; slashes are
    /// normalised as QSettings does), as UTF-8 text the way the settings store
    /// returns it: a list written by hand ("a, b") is joined with ", ".
    /// nullopt when the key is absent, or when it holds a serialised Qt type
    /// this reader does not convert (see converts()).
    [[nodiscard]] std::optional<std::string> value(std::string_view key) const;
    /// The store's addressing: section "A\B\C" (backslashes nest, empty parts
    /// dropped) and key. An empty key is never present.
    [[nodiscard]] std::optional<std::string> get(std::string_view section,
                                                 std::string_view key) const;
    /// value() as UTF-16, exactly as QSettings holds it (no "?" for unpaired surrogates).
    [[nodiscard]] std::optional<std::u16string> text(std::u16string_view key) const;
    /// True when the key is present, whether or not its value converts.
    [[nodiscard]] bool contains(std::string_view key) const;
    /// False for a present key whose value is a serialised Qt type other than
    /// text or bytes (a "@Variant(...)" number, a date); value() is nullopt then.
    [[nodiscard]] bool converts(std::string_view key) const;
    /// Every key, UTF-8, in QSettings' order (as allKeys() lists them).
    [[nodiscard]] std::vector<std::string> keys() const;

  private:
    struct Value {
        std::u16string text;
        bool exact = true;
    };
    const Value* find(std::string_view key) const;
    const Value* findUtf16(std::u16string_view key) const;
    void parseBytes(std::string_view bytes);

    std::map<std::u16string, Value> values_;
    IniProblem problem_ = IniProblem::None;
    std::string reason_;
    bool exists_ = false;
};

/// UTF-8 to UTF-16 as QString::fromUtf8 does it: a leading byte-order mark is
/// dropped and each invalid byte becomes U+FFFD.
[[nodiscard]] std::u16string utf16FromUtf8(std::string_view bytes);
/// UTF-16 to UTF-8 as QString::toUtf8 does it: an unpaired surrogate becomes "?".
[[nodiscard]] std::string utf8FromUtf16(std::u16string_view text);

/// QString::trimmed(): strips what QChar::isSpace calls white space.
[[nodiscard]] std::u16string trimmedText(std::u16string_view text);
/// QString::toLongLong(base 10) of a trimmed text; nullopt where Qt reports failure.
[[nodiscard]] std::optional<long long> wholeNumber(std::string_view utf8);

}  // namespace moonbite::storage
