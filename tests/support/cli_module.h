// Tests that run the tool's commands in their own process tell it where its
// modules were built (the tool itself finds it beside its executable).
#pragma once

#include "qt_commands.h"
#include "zone_rules.h"

namespace moonbite::testing {
inline const bool kCliModulePathSet = [] {
    cli::setQtModulePath(MOONBITE_CLI_MODULE_PATH);
    cli::setZoneModulePath(MOONBITE_CLI_TZ_MODULE_PATH);
    return true;
}();
}  // namespace moonbite::testing
