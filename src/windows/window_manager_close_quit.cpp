// Closing a target's window (that window or nothing) and quitting a target's app, both refused
// when the target's pid now belongs to another app.

#include <algorithm>
#include <cctype>

#include "platform/workspace.h"
#include "windows/ax_attribute_reads.h"
#include "windows/window_manager.h"

namespace quillmar {

namespace {
using platform::AccessibilityApi;
using platform::AXElement;
using platform::AXError;
namespace ax = platform::ax;
using ax_reads::readElement;
using ax_reads::readElements;
using ax_reads::readsTrue;

constexpr float kCloseAppTimeout = 0.15f;
constexpr float kCloseMinimizedReadTimeout = 0.05f;
constexpr float kCloseButtonTimeout = 0.12f;
constexpr float kMenuBarTimeout = 0.08f;
constexpr float kMenuTimeout = 0.06f;
constexpr float kMenuItemTimeout = 0.04f;
constexpr std::size_t kMenusSearched = 5;
constexpr std::size_t kItemsSearchedPerMenu = 16;
constexpr const char* kFinderBundleID = "com.apple.finder";

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
}  // namespace

// ---- Close ----------------------------------------------------------------------------------------

bool WindowManager::processStillBelongsToTarget(const SwitchTarget& target) const {
    auto running = platform::Workspace::shared().runningApplication(target.pid);
    if (!running) return false;
    if (target.bundleIdentifier && !target.bundleIdentifier->empty())
        return running->bundleIdentifier == target.bundleIdentifier;
    // Without a bundle identifier the name is all that tells the app apart from whatever may have
    // been given its pid since the list was built.
    if (running->bundleIdentifier && !running->bundleIdentifier->empty()) return false;
    if (running->localizedName) return *running->localizedName == target.appName;
    return target.appName == "App" || target.appName == "Application";
}

bool WindowManager::pressCloseButton(const AXElement& window) {
    auto& api = AccessibilityApi::shared();
    api.setMessagingTimeout(window, kCloseButtonTimeout);
    auto button = readElement(window, ax::kCloseButton);
    if (!button) return false;
    api.setMessagingTimeout(*button, kCloseButtonTimeout);
    return api.performAction(*button, ax::kPressAction) == AXError::success;
}

bool WindowManager::closeThroughMenuBar(const AXElement& app) {
    auto& api = AccessibilityApi::shared();
    auto menuBar = readElement(app, ax::kMenuBar);
    if (!menuBar) return false;
    api.setMessagingTimeout(*menuBar, kMenuBarTimeout);
    auto items = readElements(*menuBar, ax::kChildren);
    if (!items) return false;
    // The first menu is the system's own; the close item lives in one of the next few.
    for (std::size_t i = 1; i < items->size() && i <= kMenusSearched; ++i) {
        const AXElement& item = (*items)[i];
        api.setMessagingTimeout(item, kMenuTimeout);
        auto children = readElements(item, ax::kChildren);
        if (!children || children->empty()) continue;
        const AXElement& menu = children->front();
        api.setMessagingTimeout(menu, kMenuTimeout);
        auto entries = readElements(menu, ax::kChildren);
        if (!entries) continue;
        const std::size_t count = std::min(entries->size(), kItemsSearchedPerMenu);
        for (std::size_t k = 0; k < count; ++k) {
            const AXElement& entry = (*entries)[k];
            api.setMessagingTimeout(entry, kMenuItemTimeout);
            auto key = api.copyAttributeValue(entry, ax::kMenuItemCmdChar);
            if (!key.ok() || !key.value || !key.value->string() || upper(*key.value->string()) != "W") continue;
            auto modifiers = api.copyAttributeValue(entry, ax::kMenuItemCmdModifiers);
            if (modifiers.ok() && modifiers.value && modifiers.value->integer() && *modifiers.value->integer() != 0) continue;
            auto enabled = api.copyAttributeValue(entry, ax::kEnabled);
            if (enabled.ok() && enabled.value && enabled.value->boolean() && !*enabled.value->boolean()) continue;
            if (api.performAction(entry, ax::kPressAction) == AXError::success) return true;
        }
    }
    return false;
}

std::optional<AXElement> WindowManager::identifyTargetWindow(const SwitchTarget& target, const AXElement& app) {
    if (target.axWindow) return target.axWindow;
    auto windows = readElements(app, ax::kWindows);
    if (!windows) return std::nullopt;
    // Closing must never hit a neighbour that merely shares the frame.
    for (const auto& w : *windows)
        if (windowMatchesTarget(w, target, /*exactNumber=*/true)) return w;
    return std::nullopt;
}

bool WindowManager::closeFrontWindowOfApp(const AXElement& app) {
    auto& api = AccessibilityApi::shared();
    std::vector<AXElement> candidates;
    std::unordered_set<std::size_t> taken;
    auto take = [&](const AXElement& e) {
        if (taken.insert(e.hash()).second) candidates.push_back(e);
    };
    if (auto focused = readElement(app, ax::kFocusedWindow)) take(*focused);
    if (auto main = readElement(app, ax::kMainWindow)) take(*main);
    if (auto windows = readElements(app, ax::kWindows)) {
        std::vector<AXElement> minimized;
        for (const auto& w : *windows) {
            api.setMessagingTimeout(w, kCloseMinimizedReadTimeout);
            if (readsTrue(api.copyAttributeValue(w, ax::kMinimized)))
                minimized.push_back(w);
            else
                take(w);
        }
        for (const auto& w : minimized) take(w);
    }
    for (const auto& c : candidates)
        if (pressCloseButton(c)) return true;
    return closeThroughMenuBar(app);
}

bool WindowManager::closeTargetWindow(const SwitchTarget& target) {
    // A pid that now belongs to another app must not have its windows closed.
    if (!processStillBelongsToTarget(target)) return false;
    if (target.axWindow && pressCloseButton(*target.axWindow)) return true;

    auto& api = AccessibilityApi::shared();
    if (!api.isProcessTrusted()) return false;
    // Closing is tried even for an app the catalogue currently skips as unresponsive.
    AXElement app = api.createApplication(target.pid);
    api.setMessagingTimeout(app, kCloseAppTimeout);

    if (!target.isAppOnly) {
        // A window target closes that window or nothing: never the app's front window, another
        // of its windows or a tab in its place.
        auto window = identifyTargetWindow(target, app);
        if (!window) return false;
        if (window != target.axWindow && pressCloseButton(*window)) return true;
        // Without a usable close button, Command-W closes the focused window: use it only when
        // that is this window.
        auto focused = readElement(app, ax::kFocusedWindow);
        if (focused && *focused == *window) return closeThroughMenuBar(app);
        return false;
    }

    if (closeFrontWindowOfApp(app)) return true;
    auto running = platform::Workspace::shared().runningApplication(target.pid);
    if (!running) return false;
    // Finder's desktop is always there; hiding Finder would only hide the desktop icons.
    if (running->bundleIdentifier == std::optional<std::string>(kFinderBundleID)) return true;
    if (!running->isHidden) platform::Workspace::shared().hide(target.pid);
    return true;
}

// ---- Quit -----------------------------------------------------------------------------------------

bool WindowManager::quitTargetApp(const SwitchTarget& target) {
    if (!processStillBelongsToTarget(target)) return false;
    return platform::Workspace::shared().terminate(target.pid);
}

}  // namespace quillmar
