#include <dlfcn.h>
#include <unistd.h>
#include <stdexcept>
#include <string>
#include <vector>

#include "qt_commands.h"

namespace moonbite::cli {
namespace {

std::string& explicitPath() {
    static std::string path;
    return path;
}

std::string executableFolder() {
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    const std::string exe(buf, static_cast<std::size_t>(n));
    const std::size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

const QtCommands& load() {
    const auto* table = static_cast<const QtCommands*>(loadModuleTable(
        kQtModuleName, kQtCommandsSymbol, explicitPath(), "writes PDFs and reads the journal"));
    if (table->abiVersion != kQtCommandsAbi)
        throw std::runtime_error(std::string(kQtModuleName) + " is not this version's module");
    return *table;
}

}  // namespace

const void* loadModuleTable(const char* fileName, const char* symbol,
                            const std::string& explicitFile, const char* whatItDoes) {
    std::vector<std::string> candidates;
    if (!explicitFile.empty()) {
        candidates.push_back(explicitFile);
    } else if (const std::string folder = executableFolder(); !folder.empty()) {
        // Beside the executable in the build tree; the installed module
        // folder relative to the installed executable.
        candidates = {folder + "/" + fileName,
                      folder + "/" + MOONBITE_CLI_MODULE_RELATIVE_DIR + "/" + fileName};
    }
    std::string why = "the tool's folder is unknown";
    for (const std::string& path : candidates) {
        if (access(path.c_str(), F_OK) != 0) {
            why = path + " does not exist";
            continue;
        }
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* e = dlerror();
            throw std::runtime_error("cannot load " + path + ": " + (e ? e : "unknown error"));
        }
        using Entry = const void* (*)();
        auto entry = reinterpret_cast<Entry>(dlsym(handle, symbol));
        const void* table = entry != nullptr ? entry() : nullptr;
        if (table == nullptr) throw std::runtime_error(path + " is not this version's module");
        return table;  // stays loaded for the rest of the process
    }
    throw std::runtime_error(std::string("cannot find the part of moonbite-cli that ") +
                             whatItDoes + " (" + why + ")");
}

const QtCommands& qtCommands() {
    static const QtCommands& table = load();
    return table;
}

void setQtModulePath(std::string path) {
    explicitPath() = std::move(path);
}

}  // namespace moonbite::cli
