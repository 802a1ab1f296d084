#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>

#include "cli_app.h"

int main(int argc, char** argv) {
    // Past a file size limit a write fails with EFBIG, which is reported,
    // instead of the signal ending the tool without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    int status = moonbite::cli::kFailure;
    try {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        const auto today =
            moonbite::Date::fromYmd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday)
                .value_or(moonbite::Date{});
        status = moonbite::cli::run(argc, argv, std::cout, std::cerr, today);
    } catch (...) {  // run itself never throws; this is for what surrounds it
        std::fputs("moonbite-cli: internal error of an unknown kind\n", stderr);
        return moonbite::cli::kFailure;
    }
    // run flushed the output; closing can still fail (a full disk, a lost
    // network file). A failure already reported keeps its own status.
    errno = 0;
    if (std::fclose(stdout) != 0 && status == 0) {
        std::fprintf(stderr, "moonbite-cli: cannot write the output: %s\n",
                     errno != 0 ? std::strerror(errno) : "write error");
        return moonbite::cli::kFailure;
    }
    return status;
}
