#include "ini_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

namespace moonbite::storage {

namespace {

// ---------------------------------------------------------------------------
// UTF-8, decoded the way Qt decodes it: the same replacement characters for
// the same bad bytes, or values and keys would differ on a damaged file.

constexpr char16_t kReplacement = 0xFFFD;
constexpr int kDecodeError = -1;
constexpr int kDecodeNeedsMore = -2;

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

void appendCodePoint(std::u16string& out, char32_t uc) {
    if (uc > 0xFFFF) {
        uc -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (uc >> 10));
        out += static_cast<char16_t>(0xDC00 + (uc & 0x3FF));
    } else {
        out += static_cast<char16_t>(uc);
    }
}

// One character starting at bytes[0]: the number of bytes it takes, or
// kDecodeError (only the lead byte is consumed) or kDecodeNeedsMore (the
// sequence is cut off by the end of the input).
int decodeOne(std::string_view bytes, char32_t& uc) {
    const auto b = static_cast<unsigned char>(bytes[0]);
    if (b < 0x80) {
        uc = b;
        return 1;
    }
    int need = 0;
    char32_t least = 0;
    if ((b & 0xE0) == 0xC0) {
        need = 2;
        least = 0x80;
        uc = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
        need = 3;
        least = 0x800;
        uc = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
        need = 4;
        least = 0x10000;
        uc = b & 0x07;
    } else {
        return kDecodeError;
    }
    const auto available = static_cast<int>(bytes.size()) - 1;
    auto at = [&](int k) { return static_cast<unsigned char>(bytes[static_cast<std::size_t>(k)]); };
    if (available < need - 1) {
        // A cut-off sequence whose bytes so far are already wrong is an error now.
        if (available > 0 && !isContinuation(at(1))) return kDecodeError;
        if (available > 1 && !isContinuation(at(2))) return kDecodeError;
        return kDecodeNeedsMore;
    }
    for (int k = 1; k < need; ++k) {
        if (!isContinuation(at(k))) return kDecodeError;
        uc = (uc << 6) | (at(k) & 0x3F);
    }
    if (uc < least || (uc >= 0xD800 && uc <= 0xDFFF) || uc > 0x10FFFF) return kDecodeError;
    return need;
}

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// A value is decoded in pieces between its escapes and quotes, by one decoder
// that keeps a cut-off sequence for the next piece and drops a byte-order
// mark only at the very start, as Qt's stateful decoder does.
class PieceDecoder {
  public:
    void feed(std::string_view piece, std::u16string& out) {
        if (piece.empty()) return;
        std::size_t i = 0;
        if (!pending_.empty()) {
            std::string joined = pending_;
            joined.append(
                piece.substr(0, std::min<std::size_t>(4 - pending_.size(), piece.size())));
            char32_t uc = 0;
            const int res = decodeOne(joined, uc);
            if (res == kDecodeNeedsMore) {
                pending_ = joined;
                return;
            }
            if (res == kDecodeError) {
                out += kReplacement;
                // Qt also steps over the first byte of the new piece here.
                i = 1;
            } else {
                if (headerDone_ || uc != 0xFEFF) appendCodePoint(out, uc);
                headerDone_ = true;
                i = static_cast<std::size_t>(res) - pending_.size();
            }
            pending_.clear();
        }
        if (!headerDone_ && piece.substr(i).starts_with(kBom)) i += kBom.size();
        headerDone_ = true;
        while (i < piece.size()) {
            char32_t uc = 0;
            const int res = decodeOne(piece.substr(i), uc);
            if (res == kDecodeNeedsMore) {
                pending_ = std::string(piece.substr(i));
                return;
            }
            if (res == kDecodeError) {
                out += kReplacement;
                ++i;
            } else {
                appendCodePoint(out, uc);
                i += static_cast<std::size_t>(res);
            }
        }
    }

  private:
    std::string pending_;
    bool headerDone_ = false;
};

// ---------------------------------------------------------------------------
// Text helpers with QString's rules.

bool isQtSpace(char16_t c) {
    if (c == 0x20 || (c >= 0x09 && c <= 0x0D)) return true;
    if (c < 0x80) return false;
    return c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
           c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

// QByteArray::trimmed: ASCII white space only.
std::string_view trimmedBytes(std::string_view bytes) {
    auto space = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    };
    while (!bytes.empty() && space(bytes.front()))
        bytes.remove_prefix(1);
    while (!bytes.empty() && space(bytes.back()))
        bytes.remove_suffix(1);
    return bytes;
}

int hexDigit(char16_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// QString::toUShort(&ok, 16) on the two or four characters after "%" or "%U":
// ASCII blanks around it (not other white space), an optional "+" and "0x".
std::optional<char16_t> hexField(std::u16string_view rest) {
    auto blank = [](char16_t c) { return c == ' ' || (c >= 0x09 && c <= 0x0D); };
    while (!rest.empty() && blank(rest.front()))
        rest.remove_prefix(1);
    while (!rest.empty() && blank(rest.back()))
        rest.remove_suffix(1);
    if (!rest.empty() && rest.front() == '+') rest.remove_prefix(1);
    if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X'))
        rest.remove_prefix(2);
    if (rest.empty()) return std::nullopt;
    unsigned value = 0;
    for (const char16_t c : rest) {
        const int d = hexDigit(c);
        if (d < 0) return std::nullopt;
        value = value * 16 + static_cast<unsigned>(d);
    }
    if (value > 0xFFFF) return std::nullopt;
    return static_cast<char16_t>(value);
}

// Keys and section names: "\" separates groups, "%XX" and "%UXXXX" stand for
// one character; anything that is not a valid escape stays as it is.
void unescapeKey(std::string_view bytes, std::u16string& result) {
    const std::u16string decoded = utf16FromUtf8(bytes);
    const std::size_t size = decoded.size();
    std::size_t i = 0;
    while (i < size) {
        const char16_t ch = decoded[i];
        if (ch == '\\') {
            result += u'/';
            ++i;
            continue;
        }
        if (ch != '%' || i == size - 1) {
            result += ch;
            ++i;
            continue;
        }
        std::size_t digits = 2;
        std::size_t first = i + 1;
        if (decoded[i + 1] == 'U') {
            ++first;
            digits = 4;
        }
        if (first + digits > size) {
            result += u'%';
            ++i;
            continue;
        }
        const auto code = hexField(std::u16string_view(decoded).substr(first, digits));
        if (!code) {
            result += u'%';
            ++i;
            continue;
        }
        result += *code;
        i = first + digits;
    }
}

void chopTrailingBlanks(std::u16string& text, std::size_t limit) {
    while (text.size() > limit && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
}

// The text after "=": blanks around it dropped, double-quoted parts kept as
// they are, backslash escapes, and commas outside quotes making a list.
// Returns true for a list (in list), false for one text (in text).
bool unescapeValue(std::string_view str, std::u16string& text, std::vector<std::u16string>& list) {
    static constexpr char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                           {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                           {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    enum class State { SkipBlanks, Normal, Hex, Octal, End };
    bool isList = false;
    bool inQuotes = false;
    bool quoted = false;
    std::uint32_t code = 0;
    std::size_t i = 0;
    const std::size_t n = str.size();
    PieceDecoder decoder;
    State state = State::SkipBlanks;

    while (state != State::End) {
        switch (state) {
            case State::SkipBlanks:
                while (i < n && (str[i] == ' ' || str[i] == '\t'))
                    ++i;
                state = State::Normal;
                break;
            case State::Normal: {
                std::size_t chopLimit = text.size();
                bool left = false;  // the state changed inside the loop
                while (i < n && !left) {
                    const char c = str[i];
                    if (c == '\\') {
                        ++i;
                        if (i >= n) {
                            state = State::End;
                            left = true;
                            break;
                        }
                        const char e = str[i++];
                        bool known = false;
                        for (const auto& pair : kEscapes) {
                            if (e == pair[0]) {
                                text += static_cast<char16_t>(pair[1]);
                                known = true;
                                break;
                            }
                        }
                        if (known) {
                            chopLimit = text.size();
                            continue;
                        }
                        if (e == 'x') {
                            code = 0;
                            if (i >= n) {
                                state = State::End;
                                left = true;
                                break;
                            }
                            if (hexDigit(static_cast<unsigned char>(str[i])) >= 0) {
                                state = State::Hex;
                                left = true;
                                break;
                            }
                        } else if (e >= '0' && e <= '7') {
                            code = static_cast<std::uint32_t>(e - '0');
                            state = State::Octal;
                            left = true;
                            break;
                        } else if (e == '\n' || e == '\r') {
                            // A line continued with a backslash: \n, \r, \r\n, \n\r.
                            if (i < n && (str[i] == '\n' || str[i] == '\r') && str[i] != e) ++i;
                        }
                        // Any other escaped character is dropped.
                        chopLimit = text.size();
                    } else if (c == '"') {
                        ++i;
                        quoted = true;
                        inQuotes = !inQuotes;
                        if (!inQuotes) {
                            state = State::SkipBlanks;
                            left = true;
                        }
                    } else if (c == ',' && !inQuotes) {
                        if (!quoted) chopTrailingBlanks(text, chopLimit);
                        if (!isList) {
                            isList = true;
                            list.clear();
                        }
                        list.push_back(text);
                        text.clear();
                        quoted = false;
                        ++i;
                        state = State::SkipBlanks;
                        left = true;
                    } else {
                        std::size_t j = i + 1;
                        while (j < n && str[j] != '\\' && str[j] != '"' && str[j] != ',')
                            ++j;
                        decoder.feed(str.substr(i, j - i), text);
                        i = j;
                    }
                }
                if (!left) {
                    if (!quoted) chopTrailingBlanks(text, chopLimit);
                    state = State::End;
                }
                break;
            }
            case State::Hex:
            case State::Octal: {
                const bool hex = state == State::Hex;
                if (i >= n) {
                    text += static_cast<char16_t>(code & 0xFFFF);
                    state = State::End;
                    break;
                }
                const char c = str[i];
                const int digit = hex ? hexDigit(static_cast<unsigned char>(c))
                                      : (c >= '0' && c <= '7' ? c - '0' : -1);
                if (digit >= 0) {
                    code = (code << (hex ? 4 : 3)) + static_cast<std::uint32_t>(digit);
                    ++i;
                } else {
                    text += static_cast<char16_t>(code & 0xFFFF);
                    state = State::Normal;
                }
                break;
            }
            case State::End:
                break;
        }
    }
    if (isList) list.push_back(text);
    return isList;
}

bool startsWith(std::u16string_view text, std::string_view ascii) {
    if (text.size() < ascii.size()) return false;
    for (std::size_t k = 0; k < ascii.size(); ++k)
        if (text[k] != static_cast<unsigned char>(ascii[k])) return false;
    return true;
}

// QString::toLatin1: characters above U+00FF become "?".
std::string latin1(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (const char16_t c : text)
        bytes += c > 0xFF ? '?' : static_cast<char>(c);
    return bytes;
}

// QSettingsPrivate::splitArgs: the arguments of "@Rect(1 2 3 4)" and the like.
std::size_t argumentCount(std::u16string_view s, std::size_t open) {
    std::size_t count = 0;
    for (std::size_t k = open + 1; k < s.size(); ++k) {
        if (s[k] == ')' || s[k] == ' ') ++count;
    }
    return count;
}

std::uint32_t bigEndian32(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 4; ++k)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + k]);
    return v;
}

// A QVariant serialised with QDataStream 4.0: the text of a QString or
// QByteArray in it; other types are not converted (exact stays false).
void variantPayload(std::string_view bytes, std::u16string& text, bool& exact) {
    constexpr std::uint32_t kQString = 10;
    constexpr std::uint32_t kQByteArray = 12;
    exact = false;
    text.clear();
    if (bytes.size() < 8) return;
    const std::uint32_t type = bigEndian32(bytes, 0);
    const std::uint32_t length = bigEndian32(bytes, 4);
    if (type != kQString && type != kQByteArray) return;
    if (length == 0xFFFFFFFFu) {
        exact = true;  // a null string or byte array: empty text
        return;
    }
    if (length > bytes.size() - 8 || (type == kQString && length % 2 != 0)) return;
    const std::string_view data = bytes.substr(8, length);
    if (type == kQByteArray) {
        text = utf16FromUtf8(data);
    } else {
        for (std::size_t k = 0; k + 1 < data.size(); k += 2)
            text += static_cast<char16_t>((static_cast<unsigned char>(data[k]) << 8) |
                                          static_cast<unsigned char>(data[k + 1]));
    }
    exact = true;
}

// QSettingsPrivate::stringToVariant followed by QVariant::toString, for the
// forms a value can take in the file.
void convertSingle(std::u16string text, std::u16string& out, bool& exact) {
    exact = true;
    out.clear();
    if (startsWith(text, "@")) {
        if (text.back() == ')') {
            const std::u16string_view inner = text;
            if (startsWith(text, "@ByteArray(")) {
                out = utf16FromUtf8(latin1(inner.substr(11, inner.size() - 12)));
                return;
            }
            if (startsWith(text, "@String(")) {
                out = inner.substr(8, inner.size() - 9);
                return;
            }
            if (startsWith(text, "@Variant(")) {
                variantPayload(latin1(inner.substr(9)), out, exact);
                return;
            }
            if (startsWith(text, "@DateTime(")) {
                exact = false;
                return;
            }
            // A rectangle, size or point has no text form: empty.
            if ((startsWith(text, "@Rect(") && argumentCount(text, 5) == 4) ||
                (startsWith(text, "@Size(") && argumentCount(text, 5) == 2) ||
                (startsWith(text, "@Point(") && argumentCount(text, 6) == 2))
                return;
            if (text == u"@Invalid()") return;
        }
        if (startsWith(text, "@@")) {
            out = text.substr(1);
            return;
        }
    }
    out = std::move(text);
}

// QSettingsPrivate::stringListToVariantList followed by the store's joining
// with ", ". A list with a serialised element is a variant list, whose text is empty.
std::u16string convertList(std::vector<std::u16string> items) {
    for (const auto& item : items) {
        if (startsWith(item, "@") && (item.size() < 2 || item[1] != '@')) return {};
    }
    std::u16string joined;
    for (std::size_t k = 0; k < items.size(); ++k) {
        if (k != 0) joined += u", ";
        joined += startsWith(items[k], "@") ? std::u16string_view(items[k]).substr(1)
                                            : std::u16string_view(items[k]);
    }
    return joined;
}

// ---------------------------------------------------------------------------
// Lines, as QSettings splits them.

enum : unsigned char { kSpace = 1, kSpecial = 2 };

unsigned char traits(char c) {
    switch (c) {
        case '\t':
        case ' ':
            return kSpace;
        case '\n':
        case '\r':
            return kSpace | kSpecial;
        case '"':
        case ';':
        case '=':
        case '\\':
            return kSpecial;
        default:
            return 0;
    }
}

// One logical line from pos: leading blank lines and ';' comments skipped; a
// line goes on past a newline inside quotes or after a backslash, and ends
// at a ';' outside quotes. False when nothing is left.
bool readLine(std::string_view data, std::size_t& pos, std::size_t& lineStart, std::size_t& lineLen,
              std::ptrdiff_t& equalsPos) {
    const std::size_t dataLen = data.size();
    bool inQuotes = false;
    equalsPos = -1;
    lineStart = pos;
    while (lineStart < dataLen && (traits(data[lineStart]) & kSpace))
        ++lineStart;

    std::size_t i = lineStart;
    while (i < dataLen) {
        char ch = data[i];
        while (!(traits(ch) & kSpecial)) {
            if (++i == dataLen) goto done;
            ch = data[i];
        }
        ++i;
        if (ch == '=') {
            if (!inQuotes && equalsPos == -1) equalsPos = static_cast<std::ptrdiff_t>(i - 1);
        } else if (ch == '\n' || ch == '\r') {
            if (i == lineStart + 1) {
                ++lineStart;
            } else if (!inQuotes) {
                --i;
                goto done;
            }
        } else if (ch == '\\') {
            if (i < dataLen) {
                const char escaped = data[i++];
                if (i < dataLen) {
                    const char next = data[i];
                    if ((escaped == '\n' && next == '\r') || (escaped == '\r' && next == '\n')) ++i;
                }
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else {  // ';'
            if (i == lineStart + 1) {
                while (i < dataLen && data[i] != '\n' && data[i] != '\r')
                    ++i;
                while (i < dataLen && (traits(data[i]) & kSpace))
                    ++i;
                lineStart = i;
            } else if (!inQuotes) {
                --i;
                goto done;
            }
        }
    }
done:
    pos = i;
    lineLen = i - lineStart;
    return lineLen > 0;
}

// QSettingsPrivate::normalizedKey: no leading, trailing or doubled "/".
std::u16string normalizedKey(std::u16string_view key) {
    std::u16string out;
    std::size_t k = 0;
    while (k < key.size()) {
        while (k < key.size() && key[k] == '/')
            ++k;
        if (k == key.size()) break;
        if (!out.empty()) out += u'/';
        while (k < key.size() && key[k] != '/')
            out += key[k++];
    }
    return out;
}

std::string errnoText(int error) {
    return std::strerror(error);
}

}  // namespace

// ---------------------------------------------------------------------------

std::u16string utf16FromUtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t i = bytes.starts_with(kBom) ? kBom.size() : 0;
    while (i < bytes.size()) {
        char32_t uc = 0;
        const int res = decodeOne(bytes.substr(i), uc);
        if (res < 0) {
            out += kReplacement;
            ++i;
        } else {
            appendCodePoint(out, uc);
            i += static_cast<std::size_t>(res);
        }
    }
    return out;
}

std::string utf8FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t k = 0; k < text.size(); ++k) {
        char32_t uc = text[k];
        if (uc >= 0xD800 && uc <= 0xDFFF) {
            const bool pair = uc < 0xDC00 && k + 1 < text.size() && text[k + 1] >= 0xDC00 &&
                              text[k + 1] <= 0xDFFF;
            if (!pair) {
                out += '?';
                continue;
            }
            uc = 0x10000 + ((uc - 0xD800) << 10) + (text[++k] - 0xDC00);
        }
        if (uc < 0x80) {
            out += static_cast<char>(uc);
        } else if (uc < 0x800) {
            out += static_cast<char>(0xC0 | (uc >> 6));
            out += static_cast<char>(0x80 | (uc & 0x3F));
        } else if (uc < 0x10000) {
            out += static_cast<char>(0xE0 | (uc >> 12));
            out += static_cast<char>(0x80 | ((uc >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (uc & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (uc >> 18));
            out += static_cast<char>(0x80 | ((uc >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((uc >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (uc & 0x3F));
        }
    }
    return out;
}

std::u16string trimmedText(std::u16string_view text) {
    while (!text.empty() && isQtSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isQtSpace(text.back()))
        text.remove_suffix(1);
    return std::u16string(text);
}

std::optional<long long> wholeNumber(std::string_view utf8) {
    const std::u16string text = trimmedText(utf16FromUtf8(utf8));
    std::u16string_view rest = text;
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    if (rest.empty()) return std::nullopt;
    // Accumulated as a negative number so the most negative value fits.
    long long value = 0;
    constexpr long long kMin = std::numeric_limits<long long>::min();
    for (const char16_t c : rest) {
        if (c < '0' || c > '9') return std::nullopt;
        const int d = c - '0';
        if (value < (kMin + d) / 10) return std::nullopt;
        value = value * 10 - d;
    }
    if (!negative) {
        if (value == kMin) return std::nullopt;
        value = -value;
    }
    return value;
}

void IniFile::parseBytes(std::string_view data) {
    std::map<std::u16string, std::string> sections;
    std::u16string current;
    std::size_t currentStart = 0;
    std::size_t pos = 0;
    std::size_t lineStart = 0;
    std::size_t lineLen = 0;
    std::ptrdiff_t equalsPos = -1;
    bool ok = true;

    // A leading byte-order mark is stepped over while finding sections, but
    // stays in the text of the first section, where it makes a bad line.
    if (data.starts_with(kBom)) pos = kBom.size();

    auto flush = [&] {
        std::string& chunk = sections[current];
        if (!chunk.empty()) chunk += '\n';
        chunk.append(data.substr(currentStart, lineStart - currentStart));
    };

    while (readLine(data, pos, lineStart, lineLen, equalsPos)) {
        const std::string_view line = data.substr(lineStart, lineLen);
        if (line.front() != '[') continue;
        flush();
        std::size_t close = line.find(']');
        if (close == std::string_view::npos) {
            ok = false;
            close = line.size();
        }
        const std::string_view name = trimmedBytes(line.substr(1, close - 1));
        auto equalsIgnoringCase = [](std::string_view a, std::string_view b) {
            return a.size() == b.size() &&
                   std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                       return (x >= 'A' && x <= 'Z' ? x + 32 : x) == y;
                   });
        };
        current.clear();
        if (!equalsIgnoringCase(name, "general")) {
            if (equalsIgnoringCase(name, "%general")) {
                for (const char c : name.substr(1))
                    current += static_cast<char16_t>(c);
            } else {
                unescapeKey(name, current);
            }
            current += u'/';
        }
        currentStart = pos;
    }
    lineStart = data.size();
    flush();

    // Sections are read in the order of their names, and within a section
    // (parts of the same name joined) a later line replaces an earlier one,
    // which decides which of two equal keys wins.
    for (const auto& [section, chunk] : sections) {
        std::size_t at = 0;
        while (readLine(chunk, at, lineStart, lineLen, equalsPos)) {
            const std::string_view line = std::string_view(chunk).substr(lineStart, lineLen);
            if (equalsPos < 0) {
                if (!line.starts_with(';')) ok = false;
                continue;
            }
            const auto equals = static_cast<std::size_t>(equalsPos) - lineStart;
            std::u16string key = section;
            unescapeKey(trimmedBytes(line.substr(0, equals)), key);
            std::u16string text;
            std::vector<std::u16string> list;
            Value value;
            if (unescapeValue(line.substr(equals + 1), text, list))
                value.text = convertList(std::move(list));
            else
                convertSingle(std::move(text), value.text, value.exact);
            values_.insert_or_assign(std::move(key), std::move(value));
        }
    }

    if (data.find('\0') != std::string_view::npos) {
        problem_ = IniProblem::Damaged;
        reason_ = "it is damaged (it holds binary data)";
    } else if (!ok) {
        problem_ = IniProblem::Damaged;
        reason_ = "it is damaged (it holds lines that are not settings)";
    }
}

IniFile IniFile::parse(std::string_view bytes) noexcept {
    IniFile file;
    file.exists_ = true;
    try {
        file.parseBytes(bytes);
    } catch (const std::bad_alloc&) {
        file.values_.clear();
        file.problem_ = IniProblem::CannotRead;
        file.reason_ = "it cannot be read: " + errnoText(ENOMEM);
    }
    return file;
}

IniFile IniFile::load(const std::string& path) noexcept {
    IniFile file;
    try {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            const int error = errno;
            struct stat link {};
            if (error == ENOENT && ::lstat(path.c_str(), &link) != 0) return file;  // no file yet
            file.exists_ = true;
            file.problem_ = error == ENOENT ? IniProblem::NotRegular : IniProblem::CannotRead;
            file.reason_ = error == ENOENT ? "it is a link to nothing"
                                           : "it cannot be opened: " + errnoText(error);
            return file;
        }
        file.exists_ = true;
        if (!S_ISREG(st.st_mode)) {
            file.problem_ = IniProblem::NotRegular;
            file.reason_ = S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file";
            return file;
        }
        const std::string tooLarge = "it is larger than 64 MiB";
        if (st.st_size > static_cast<off_t>(kMaxIniFileSize)) {
            file.problem_ = IniProblem::TooLarge;
            file.reason_ = tooLarge;
            return file;
        }
        // O_NONBLOCK: the file may have been swapped for a FIFO since stat.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            file.problem_ = IniProblem::CannotRead;
            file.reason_ = "it cannot be read: " + errnoText(errno);
            return file;
        }
        std::string bytes;
        char buffer[16384];
        while (bytes.size() <= kMaxIniFileSize) {
            const std::size_t want = std::min(sizeof buffer, kMaxIniFileSize + 1 - bytes.size());
            const ssize_t n = ::read(fd, buffer, want);
            if (n < 0) {
                if (errno == EINTR) continue;
                const int error = errno;
                ::close(fd);
                file.problem_ = IniProblem::CannotRead;
                file.reason_ = "it cannot be read: " + errnoText(error);
                return file;
            }
            if (n == 0) break;
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(fd);
        if (bytes.size() > kMaxIniFileSize) {
            file.problem_ = IniProblem::TooLarge;
            file.reason_ = tooLarge;
            return file;
        }
        file.parseBytes(bytes);
    } catch (const std::bad_alloc&) {
        file.values_.clear();
        file.problem_ = IniProblem::CannotRead;
        file.reason_ = "it cannot be read: " + errnoText(ENOMEM);
    }
    return file;
}

const IniFile::Value* IniFile::findUtf16(std::u16string_view key) const {
    if (!readable()) return nullptr;
    try {
        const std::u16string name = normalizedKey(key);
        if (name.empty()) return nullptr;
        const auto it = values_.find(name);
        return it == values_.end() ? nullptr : &it->second;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const IniFile::Value* IniFile::find(std::string_view key) const {
    try {
        return findUtf16(utf16FromUtf8(key));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::optional<std::u16string> IniFile::text(std::u16string_view key) const {
    const Value* v = findUtf16(key);
    if (v == nullptr || !v->exact) return std::nullopt;
    try {
        return v->text;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool IniFile::contains(std::string_view key) const {
    return find(key) != nullptr;
}

bool IniFile::converts(std::string_view key) const {
    const Value* v = find(key);
    return v != nullptr && v->exact;
}

std::optional<std::string> IniFile::value(std::string_view key) const {
    const Value* v = find(key);
    if (v == nullptr || !v->exact) return std::nullopt;
    try {
        return utf8FromUtf16(v->text);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<std::string> IniFile::get(std::string_view section, std::string_view key) const {
    if (key.empty()) return std::nullopt;
    try {
        std::string full(section);
        std::replace(full.begin(), full.end(), '\\', '/');
        full += '/';
        full += key;
        return value(full);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::vector<std::string> IniFile::keys() const {
    std::vector<std::string> out;
    if (!readable()) return out;
    try {
        out.reserve(values_.size());
        for (const auto& entry : values_)
            out.push_back(utf8FromUtf16(entry.first));
    } catch (const std::bad_alloc&) {
        out.clear();
    }
    return out;
}

}  // namespace moonbite::storage
