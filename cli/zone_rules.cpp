#include "zone_rules.h"

#include <ctime>
#include <stdexcept>
#include <utility>

#include "qt_commands.h"

namespace moonbite::cli {
namespace {

class ComputerZoneRule final : public NamedZoneRule {
  public:
    double hoursOn(Date date) const override {
        const YearMonthDay ymd = date.ymd();
        std::tm noon{};
        noon.tm_year = ymd.year - 1900;
        noon.tm_mon = ymd.month - 1;
        noon.tm_mday = ymd.day;
        noon.tm_hour = 12;
        noon.tm_isdst = -1;  // let the zone say whether daylight time is in effect
        if (std::mktime(&noon) == static_cast<std::time_t>(-1)) return 0;
        return static_cast<double>(noon.tm_gmtoff) / 3600.0;
    }
    double hoursAt(Instant t) const override {
        const auto unix = static_cast<std::time_t>(t - kUnixEpochInstant);
        std::tm local{};
        if (localtime_r(&unix, &local) == nullptr) return 0;
        return static_cast<double>(local.tm_gmtoff) / 3600.0;
    }
    const std::string& name() const override { return name_; }

  private:
    std::string name_;
};

std::string& explicitPath() {
    static std::string path;
    return path;
}

const ZoneModule& zoneModule() {
    static const ZoneModule& module = []() -> const ZoneModule& {
        const auto* table = static_cast<const ZoneModule*>(loadModuleTable(
            kZoneModuleName, kZoneModuleSymbol, explicitPath(), "reads time zones by name"));
        if (table->abiVersion != kZoneModuleAbi)
            throw std::runtime_error(std::string(kZoneModuleName) +
                                     " is not this version's module");
        return *table;
    }();
    return module;
}

}  // namespace

std::shared_ptr<const NamedZoneRule> zoneNamed(const std::string& name) {
    const ZoneModule& module = zoneModule();
    NamedZoneRule* rule = module.named(name.c_str());
    if (rule == nullptr) return nullptr;
    return std::shared_ptr<const NamedZoneRule>(rule,
                                                [release = module.release](const NamedZoneRule* r) {
                                                    release(const_cast<NamedZoneRule*>(r));
                                                });
}

void setZoneModulePath(std::string path) {
    explicitPath() = std::move(path);
}

std::shared_ptr<const NamedZoneRule> computerZone() {
    return std::make_shared<ComputerZoneRule>();
}

}  // namespace moonbite::cli
