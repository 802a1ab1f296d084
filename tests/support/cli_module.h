// Tests that run the tool's commands in their own process tell it where its
// Qt module was built (the tool itself finds it beside its executable).
#pragma once

#include "qt_commands.h"

namespace moonbite::testing {
inline const bool kCliModulePathSet = [] {
    cli::setQtModulePath(MOONBITE_CLI_MODULE_PATH);
    return true;
}();
}  // namespace moonbite::testing
