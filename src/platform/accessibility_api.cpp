#include "platform/accessibility_api.h"

#include <cmath>

#include "runtime/world.h"

namespace quillmar::platform {

namespace {
// A system without the Accessibility interface: never trusted, every request refused.
class UnavailableAccessibilityApi final : public AccessibilityApi {
public:
    bool isProcessTrusted() override { return false; }
    bool isProcessTrustedWithOptions(bool) override { return false; }
    AXElement createApplication(std::int32_t pid) override { return AXElement(pid, 1); }
    AXReadResult copyAttributeValue(const AXElement&, const std::string&) override {
        return {AXError::apiDisabled, std::nullopt};
    }
    AXReadResult copyMultipleAttributeValues(const AXElement&, const std::vector<std::string>&, int) override {
        return {AXError::apiDisabled, std::nullopt};
    }
    AXError setAttributeValue(const AXElement&, const std::string&, const AXValue&) override {
        return AXError::apiDisabled;
    }
    AXError performAction(const AXElement&, const std::string&) override { return AXError::apiDisabled; }
    AXWindowNumberCall lookupWindowNumberCall() override { return {}; }
};
}  // namespace

AccessibilityApi& AccessibilityApi::shared() {
    if (auto* installed = runtime::World::find<AccessibilityApi>()) return *installed;
    return runtime::World::install<AccessibilityApi>(std::make_unique<UnavailableAccessibilityApi>());
}

AXError AccessibilityApi::setMessagingTimeout(const AXElement& element, float seconds) {
    if (!element || !std::isfinite(seconds) || seconds < 0) return AXError::illegalArgument;
    element.node_->timeout = seconds;
    if (element.pid() == 0 && element.identity() == 0) defaultTimeout_ = seconds > 0 ? seconds : kPlatformDefaultTimeout;
    return AXError::success;
}

double AccessibilityApi::effectiveTimeout(const AXElement& element) const {
    const float own = element.messagingTimeout();
    return own > 0 ? own : defaultTimeout_;
}

}  // namespace quillmar::platform
