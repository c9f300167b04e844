// Bringing a target to the front: its app unhidden and frontmost, its window unminimised,
// focused and raised.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <unordered_set>

#include "platform/window_server.h"
#include "platform/workspace.h"
#include "runtime/main_loop.h"
#include "windows/ax_attribute_reads.h"
#include "windows/window_manager.h"

namespace quillmar {

namespace {
using platform::AccessibilityApi;
using platform::AXElement;
using platform::AXError;
namespace ax = platform::ax;
using ax_reads::readElements;
using ax_reads::readsTrue;

constexpr float kActivationTimeout = 0.06f;
constexpr float kMatchTimeout = 0.03f;
constexpr double kMatchTolerance = 24;
constexpr std::uint32_t kFrontProcessOptions = 0x200;
constexpr double kSecondRaiseDelay = 0.12;
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

}  // namespace quillmar
