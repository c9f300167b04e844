// Acting on a target: bringing it to the front, closing its window, quitting its app.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <unordered_set>

#include "platform/window_server.h"
#include "platform/workspace.h"
#include "runtime/main_loop.h"
#include "windows/window_manager.h"

namespace quillmar {

namespace {
using platform::AccessibilityApi;
using platform::AXElement;
using platform::AXError;
namespace ax = platform::ax;

constexpr float kActivationTimeout = 0.06f;
constexpr float kMatchTimeout = 0.03f;
constexpr double kMatchTolerance = 24;
constexpr std::uint32_t kFrontProcessOptions = 0x200;
constexpr double kSecondRaiseDelay = 0.12;

constexpr float kCloseAppTimeout = 0.15f;
constexpr float kCloseMinimizedReadTimeout = 0.05f;
constexpr float kCloseButtonTimeout = 0.12f;
constexpr float kMenuBarTimeout = 0.08f;
constexpr float kMenuTimeout = 0.06f;
constexpr float kMenuItemTimeout = 0.04f;
constexpr std::size_t kMenusSearched = 5;
constexpr std::size_t kItemsSearchedPerMenu = 16;
constexpr const char* kFinderBundleID = "com.apple.finder";

bool readsTrue(const platform::AXReadResult& r) { return r.ok() && r.value && r.value->boolean() && *r.value->boolean(); }

std::optional<AXElement> readElement(const AXElement& from, const char* attribute) {
    auto r = AccessibilityApi::shared().copyAttributeValue(from, attribute);
    if (!r.ok() || !r.value || !r.value->element()) return std::nullopt;
    return *r.value->element();
}

// The elements of an array attribute; nullopt when the read fails or gives no array.
std::optional<std::vector<AXElement>> readElements(const AXElement& from, const char* attribute) {
    auto r = AccessibilityApi::shared().copyAttributeValue(from, attribute);
    if (!r.ok() || !r.value || !r.value->array()) return std::nullopt;
    std::vector<AXElement> out;
    for (const auto& v : *r.value->array())
        if (const AXElement* e = v.element()) out.push_back(*e);
    return out;
}

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
}  // namespace

// ---- Activation -----------------------------------------------------------------------------------

bool WindowManager::windowMatchesTarget(const AXElement& window, const SwitchTarget& target, bool exactNumber) {
    auto& api = AccessibilityApi::shared();
    api.setMessagingTimeout(window, kMatchTimeout);
    if (hasWindowNumberCall() && target.windowID) {
        std::uint32_t number = 0;
        if (windowNumberCall_(window, &number) == AXError::success && number != 0) return number == *target.windowID;
        if (exactNumber) return false;
    }
    if (!(target.bounds.standardized().width > 0)) return false;
    platform::Point position;
    platform::Size size;
    if (auto r = api.copyAttributeValue(window, ax::kPosition); r.ok() && r.value && r.value->point())
        position = *r.value->point();
    if (auto r = api.copyAttributeValue(window, ax::kSize); r.ok() && r.value && r.value->size()) size = *r.value->size();
    const double origin = std::hypot(position.x - target.bounds.x, position.y - target.bounds.y);
    const double extent = std::hypot(size.width - target.bounds.width, size.height - target.bounds.height);
    return origin < kMatchTolerance && extent < kMatchTolerance;
}

void WindowManager::openApplication(std::int32_t pid) {
    auto& workspace = platform::Workspace::shared();
    auto running = workspace.runningApplication(pid);
    if (!running || !running->bundlePath) return;
    workspace.openApplication(*running->bundlePath, true);
}

void WindowManager::activate(const SwitchTarget& target) {
    auto& workspace = platform::Workspace::shared();
    auto& api = AccessibilityApi::shared();
    const std::int32_t pid = target.pid;
    auto running = workspace.runningApplication(pid);
    if (!running) return;
    if (running->isHidden) workspace.unhide(pid);

    const bool trusted = api.isProcessTrusted();
    std::optional<AXElement> window = target.axWindow;
    if (!window && !target.isAppOnly && trusted) {
        if (auto app = axApplicationElement(pid, kActivationTimeout)) {
            if (auto windows = readElements(*app, ax::kWindows)) {
                for (const auto& candidate : *windows) {
                    if (windowMatchesTarget(candidate, target)) {
                        window = candidate;
                        break;
                    }
                }
            }
        }
    }

    bool wasMinimized = false;
    if (window) {
        api.setMessagingTimeout(*window, kActivationTimeout);
        if (readsTrue(api.copyAttributeValue(*window, ax::kMinimized))) {
            api.setAttributeValue(*window, ax::kMinimized, false);
            wasMinimized = true;
        }
        api.setAttributeValue(*window, ax::kMain, true);
        api.setAttributeValue(*window, ax::kFocused, true);
        api.performAction(*window, ax::kRaiseAction);
    }

    if (trusted) {
        if (auto app = axApplicationElement(pid, kActivationTimeout)) api.setAttributeValue(*app, ax::kFrontmost, true);
    }

    bindPrivateCalls();
    if (hasProcessLookup_ && hasFrontProcessCall_) {
        auto& server = platform::WindowServer::shared();
        platform::ProcessSerialNumber psn{};
        if (server.getProcessForPID(pid, &psn) == 0)
            server.setFrontProcessWithOptions(psn, target.windowID.value_or(0), kFrontProcessOptions);
    }

    workspace.yieldActivation(pid);
    std::uint32_t options = platform::activateIgnoringOtherApps;
    if (target.isAppOnly) options |= platform::activateAllWindows;
    workspace.activate(pid, options);

    if (window) {
        api.performAction(*window, ax::kRaiseAction);
        api.setAttributeValue(*window, ax::kMain, true);
        if (wasMinimized) {
            // Some apps finish restoring a window only after the activation settles.
            runtime::MainLoop::main().after(kSecondRaiseDelay, [w = *window] {
                auto& later = AccessibilityApi::shared();
                later.setMessagingTimeout(w, kActivationTimeout);
                later.performAction(w, ax::kRaiseAction);
                later.setAttributeValue(w, ax::kMain, true);
                later.setAttributeValue(w, ax::kFocused, true);
            });
        }
    } else if (target.isAppOnly) {
        std::optional<AXElement> app = trusted ? axApplicationElement(pid, kActivationTimeout) : std::nullopt;
        if (app) {
            auto windows = readElements(*app, ax::kWindows);
            if (!windows || windows->empty()) {
                openApplication(pid);
            } else {
                bool allMinimized = true;
                for (const auto& w : *windows) {
                    api.setMessagingTimeout(w, kMatchTimeout);
                    auto r = api.copyAttributeValue(w, ax::kMinimized);
                    if (!r.ok() || !r.value || !r.value->boolean() || !*r.value->boolean()) {
                        allMinimized = false;
                        break;
                    }
                }
                if (allMinimized) {
                    const AXElement& first = windows->front();
                    api.setMessagingTimeout(first, kActivationTimeout);
                    api.setAttributeValue(first, ax::kMinimized, false);
                    api.performAction(first, ax::kRaiseAction);
                }
            }
        } else if (target.isMinimizedOrHidden) {
            openApplication(pid);
        }
    }

    moveToFrontOfMRU(pid);
}

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
