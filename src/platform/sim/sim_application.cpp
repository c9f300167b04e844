#include "platform/sim/sim_application.h"

#include <cctype>

#include "platform/sim/sim_desktop.h"
#include "runtime/world.h"

namespace quillmar::platform::sim {

namespace {
const char* policyName(ActivationPolicy p) {
    switch (p) {
        case ActivationPolicy::regular: return "regular";
        case ActivationPolicy::accessory: return "accessory";
        case ActivationPolicy::prohibited: return "prohibited";
    }
    return "regular";
}

long roundedSide(double v) { return v > 0 && v < 1e6 ? static_cast<long>(v + 0.5) : 0; }
}  // namespace

SimApplication& SimApplication::install(SimDesktop& desktop) {
    auto app = std::make_unique<SimApplication>(desktop);
    auto* raw = app.get();
    runtime::World::install<Application>(std::move(app));
    return *raw;
}

void SimApplication::setDelegate(ApplicationDelegate* delegate) {
    delegate_ = delegate;
    desktop_.logCall(delegate ? "app delegate set" : "app delegate cleared");
}

bool SimApplication::setActivationPolicy(ActivationPolicy policy) {
    policy_ = policy;
    if (auto* own = desktop_.app(desktop_.ownPid())) own->activationPolicy = policy;
    desktop_.logCall(std::string("app policy ") + policyName(policy));
    return true;
}

void SimApplication::setApplicationIconImage(MenuImageRef image) {
    icon_ = std::move(image);
    desktop_.logCall(icon_ ? "app icon " + std::to_string(roundedSide(icon_->width())) + "x" +
                                 std::to_string(roundedSide(icon_->height()))
                           : std::string("app icon cleared"));
}

void SimApplication::setMainMenu(std::shared_ptr<Menu> menu) {
    mainMenu_ = std::move(menu);
    desktop_.logCall("app main menu");
}

void SimApplication::activate(std::uint32_t options) {
    desktop_.logCall("app activate " + std::to_string(options));
    if (desktop_.ownPid() != 0) desktop_.activate(desktop_.ownPid(), options);
}

void SimApplication::run() {
    if (running_) return;
    running_ = true;
    desktop_.logCall("app run");
    auto pending = std::move(launchURLs_);
    launchURLs_.clear();
    for (const auto& [urls, event] : pending) deliverURLs(urls, event);
    finishedLaunching_ = true;
    desktop_.logCall("app finished launching");
    if (delegate_) delegate_->applicationDidFinishLaunching();
}

void SimApplication::terminate() {
    if (!running_) return;
    desktop_.logCall("app terminate");
    if (delegate_) delegate_->applicationWillTerminate();
    running_ = false;
}

void SimApplication::launchWithURLs(std::vector<std::string> urls, AppleEvent event) {
    launchURLs_.emplace_back(std::move(urls), std::move(event));
}

void SimApplication::deliverURLs(const std::vector<std::string>& urls, const AppleEvent& event) {
    desktop_.logCall("app open urls " + std::to_string(urls.size()));
    if (!delegate_) return;
    AppleEventManager::Handling handling(event);
    delegate_->applicationOpenURLs(urls);
}

bool SimApplication::reopen(bool hasVisibleWindows) {
    desktop_.logCall(std::string("app reopen") + (hasVisibleWindows ? " with windows" : ""));
    return delegate_ && delegate_->applicationShouldHandleReopen(hasVisibleWindows);
}

bool SimApplication::pressKeyEquivalent(const std::string& key, std::uint32_t modifiers) {
    if (!mainMenu_) return false;
    std::string k = key;
    std::uint32_t m = modifiers;
    if (k.size() == 1 && std::isalpha(static_cast<unsigned char>(k[0])) && (m & key_modifiers::shift)) {
        k[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(k[0])));
        m &= ~key_modifiers::shift;
    }
    auto* item = mainMenu_->itemForKeyEquivalent(k, m);
    const bool ran = item && item->perform();
    desktop_.logCall("app key " + key + (ran ? " -> " + item->title : std::string(" unhandled")));
    return ran;
}

}  // namespace quillmar::platform::sim
