// What QSettings itself reads from a file, for comparing the Qt-free reader with it.
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <string>
#include <string_view>

namespace moonbite::storage::qtref {

// A folder for settings files: in memory where the system has one, since
// every save of the store syncs the file to disk.
inline QString scratchTemplate() {
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    const QString base = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
    return base + QStringLiteral("/moonbite-storage-tests-XXXXXX");
}

inline void writeBytes(const QString& path, std::string_view bytes) {
    QFile f(path);
    if (!f.open(QFile::WriteOnly | QFile::Truncate)) return;
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// The text the settings store gives for a value: a list joined with ", ".
inline QString storeText(const QVariant& value) {
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(", ");
    return value.toString();
}

inline std::u16string toU16(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<std::size_t>(text.size()));
}

inline QString fromU16(const std::u16string& text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

// A readable form of bytes for failure messages: escapes for anything not printable ASCII.
inline std::string shownBytes(std::string_view bytes) {
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '\n') {
            out += "\\n\n";
        } else if (b >= 0x20 && b < 0x7F && b != '\\') {
            out += c;
        } else {
            out += "\\x";
            out += hex[b >> 4];
            out += hex[b & 15];
        }
    }
    return out;
}

inline std::string shownText(const QString& text) {
    return shownBytes(text.toUtf8().toStdString());
}

}  // namespace moonbite::storage::qtref
