// Runs moonbite-cli's commands in this process, as the program would, on a
// fixed "today" (7 December 2026).
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli_app.h"

namespace moonbite::cli::testing {

struct Result {
    int status = 0;
    std::string out;
    std::string err;
};

inline Result runCli(std::vector<const char*> args) {
    args.insert(args.begin(), "moonbite-cli");
    std::ostringstream out;
    std::ostringstream err;
    const Date today = *Date::fromYmd(2026, 12, 7);
    const int status = run(static_cast<int>(args.size()), args.data(), out, err, today);
    return {status, out.str(), err.str()};
}

}  // namespace moonbite::cli::testing
