#include <ctime>
#include <iostream>

#include "cli_app.h"

int main(int argc, char** argv) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const auto today =
        moonbite::Date::fromYmd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday)
            .value_or(moonbite::Date{});
    return moonbite::cli::run(argc, argv, std::cout, std::cerr, today);
}
