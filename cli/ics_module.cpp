// The part of moonbite-cli that writes iCalendar files with libical, opened
// only by the `ics` command.
#include <new>
#include <stdexcept>

#include "cli_app.h"
#include "ics_command.h"

namespace moonbite::cli {
namespace {

CommandResult writeCalendar(const IcsRequest& request, IcsWrite write, void* context) {
    try {
        IcsCalendar calendar;
        calendar.stampUtc = request.stampUtc;
        IcsRange range = request.range;
        range.placeKey = icsPlaceKey(request.latitude, request.longitude);
        writeRangeIcs(
            calendar, request.fresh, range, request.computeDay,
            [&](std::string_view text) { return write(context, text.data(), text.size()); });
        return {};
    } catch (const std::bad_alloc&) {
        return {kFailure, "out of memory"};
    } catch (const std::exception& e) {
        return {kFailure, std::string("cannot make the calendar: ") + e.what()};
    } catch (...) {
        return {kFailure, "cannot make the calendar: an error of an unknown kind"};
    }
}

constexpr IcsModule kModule{kIcsModuleAbi, &writeCalendar};

}  // namespace
}  // namespace moonbite::cli

extern "C" __attribute__((visibility("default"))) const moonbite::cli::IcsModule*
moonbite_cli_ics_module() {
    return &moonbite::cli::kModule;
}
