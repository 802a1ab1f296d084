#include "cli_common.h"

#include <cstdio>

#include "calendar_time.h"

namespace moonbite::cli {

std::string shown(std::string_view text) {
    constexpr std::size_t kMaxShown = 200;
    std::string s;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        // Cut only before the first byte of a UTF-8 character.
        if (s.size() >= kMaxShown && (c & 0xC0) != 0x80) {
            s += "...";
            break;
        }
        if (c == 0) {
            s += "\\0";
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            s += buf;
        } else {
            s += static_cast<char>(c);
        }
    }
    return s;
}

std::string jsonText(const Json& j, int indent) {
    // Texts are ASCII apart from a locale's designators; replace anything invalid.
    return j.dump(indent, ' ', false, Json::error_handler_t::replace);
}

std::string csvField(const Json& v) {
    std::string s = v.is_string() ? v.get<std::string>() : v.dump();
    if (s.find_first_of(",\"\r\n") == std::string::npos && (s.empty() || s.front() != ' '))
        return s;
    std::string quoted = "\"";
    for (char c : s) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

SolunarState stateFor(double latitude, double longitude, double zone, Date today) {
    SolunarState s;
    s.today = today;
    s.latitude = latitude;
    s.longitude = longitude;
    numberText(s.timeZoneEntered, zone);
    numberText(s.timeZoneForComputations, -zone);
    return s;
}

}  // namespace moonbite::cli
