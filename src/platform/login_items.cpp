#include "platform/login_items.h"

#include <memory>

#include "runtime/world.h"

namespace quillmar::platform {

namespace {
// A machine without a login-item service: nothing is registered and nothing can be.
class UnavailableLoginItems final : public LoginItems {
public:
    LoginItemStatus status() const override { return LoginItemStatus::notFound; }
    std::optional<LoginItemError> registerApp() override { return unavailable(); }
    std::optional<LoginItemError> unregisterApp() override { return unavailable(); }
    void openSystemSettingsLoginItems() override {}

private:
    static LoginItemError unavailable() { return {1, "This system has no login-item service."}; }
};
}  // namespace

LoginItems& LoginItems::shared() {
    if (auto* installed = runtime::World::find<LoginItems>()) return *installed;
    return runtime::World::install<LoginItems>(std::make_unique<UnavailableLoginItems>());
}

}  // namespace quillmar::platform
