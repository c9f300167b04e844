#include "platform/system_preferences.h"

#include <memory>

#include "runtime/world.h"

namespace quillmar::platform {

namespace {
// A system that keeps none of the preference domains asked about.
class EmptySystemPreferences final : public SystemPreferences {
public:
    std::optional<DefaultsValue> copyAppValue(const std::string&, const std::string&) const override {
        return std::nullopt;
    }
};
}  // namespace

SystemPreferences& SystemPreferences::shared() {
    if (auto* installed = runtime::World::find<SystemPreferences>()) return *installed;
    return runtime::World::install<SystemPreferences>(std::make_unique<EmptySystemPreferences>());
}

}  // namespace quillmar::platform
