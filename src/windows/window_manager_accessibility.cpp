// Reading other apps' windows through Accessibility under the catalogue's deadline: messaging
// timeouts cut to what is left of the budget, and an app that proves slow is left alone for a
// while.

#include <algorithm>

#include "runtime/main_loop.h"
#include "windows/window_manager.h"
#include "windows/window_text.h"

namespace quillmar {

namespace {
using platform::AXError;

constexpr double kAppTimeoutFloor = 0.015;
constexpr double kAppTimeoutCap = 0.1;
constexpr double kWindowTimeoutFloor = 0.012;
constexpr double kWindowTimeoutCap = 0.06;
constexpr double kSlowThreshold = 0.05;
constexpr double kBenchTime = 2.5;

// The five facts read per window in one batch, taken by position from the reply.
const std::vector<std::string>& windowAttributes() {
    static const std::vector<std::string> names{platform::ax::kMinimized, platform::ax::kSubrole, platform::ax::kTitle,
                                                platform::ax::kPosition, platform::ax::kSize};
    return names;
}

float cutTimeout(double remaining, double floor, double cap) {
    return static_cast<float>(remaining >= floor ? std::min(remaining, cap) : floor);
}

bool isStandardOrDialogSubrole(const std::string& subrole) {
    return subrole == platform::ax::kStandardWindowSubrole || subrole == platform::ax::kDialogSubrole;
}
}  // namespace

std::optional<platform::AXElement> WindowManager::axApplicationElement(std::int32_t pid, float timeout) {
    const double now = runtime::mediaTime();
    if (auto it = unresponsiveUntilByPID_.find(pid); it != unresponsiveUntilByPID_.end()) {
        if (it->second > now) return std::nullopt;
        unresponsiveUntilByPID_.erase(it);
    }
    auto& ax = platform::AccessibilityApi::shared();
    platform::AXElement app = ax.createApplication(pid);
    ax.setMessagingTimeout(app, timeout);
    return app;
}

void WindowManager::markUnresponsiveIfSlow(AXError error, std::int32_t pid, double elapsed) {
    if (error == AXError::cannotComplete && elapsed >= kSlowThreshold)
        unresponsiveUntilByPID_[pid] = runtime::mediaTime() + kBenchTime;
}

AXWindowsAnswer WindowManager::parseAXWindows(std::int32_t pid, double deadline) {
    auto& ax = platform::AccessibilityApi::shared();
    double now = runtime::mediaTime();
    if (!(now < deadline)) return {};

    auto app = axApplicationElement(pid, cutTimeout(deadline - now, kAppTimeoutFloor, kAppTimeoutCap));
    if (!app) return {};

    double started = runtime::mediaTime();
    const platform::AXReadResult list = ax.copyAttributeValue(*app, platform::ax::kWindows);
    markUnresponsiveIfSlow(list.error, pid, runtime::mediaTime() - started);
    if (!list.ok()) return {};
    AXWindowsAnswer answer;
    answer.answered = true;
    const platform::AXArray* elements = list.value ? list.value->array() : nullptr;
    if (!elements) return answer;

    const bool withNumbers = hasWindowNumberCall();
    for (const platform::AXValue& value : *elements) {
        const platform::AXElement* element = value.element();
        if (!element) continue;
        now = runtime::mediaTime();
        if (!(now < deadline)) return {};
        ax.setMessagingTimeout(*element, cutTimeout(deadline - now, kWindowTimeoutFloor, kWindowTimeoutCap));

        ParsedAXWindow w;
        w.element = *element;
        w.hash = element->hash();
        if (withNumbers) {
            std::uint32_t number = 0;
            windowNumberCall_(*element, &number);
            w.windowID = number;
        }

        started = runtime::mediaTime();
        const platform::AXReadResult batch = ax.copyMultipleAttributeValues(*element, windowAttributes(), 0);
        const double elapsed = runtime::mediaTime() - started;
        if (!batch.ok() && batch.error == AXError::cannotComplete && elapsed >= kSlowThreshold) {
            markUnresponsiveIfSlow(batch.error, pid, elapsed);
            return {};
        }
        const platform::AXArray* reply = batch.ok() && batch.value ? batch.value->array() : nullptr;
        if (reply && reply->size() == windowAttributes().size()) {
            const auto& r = *reply;
            w.isMinimized = r[0].boolean() && *r[0].boolean();
            if (const std::string* subrole = r[1].string()) w.isStandardOrDialog = isStandardOrDialogSubrole(*subrole);
            if (const std::string* title = r[2].string()) w.title = trimWhitespaceAndNewlines(*title);
            if (const platform::Point* p = r[3].point()) w.position = *p;
            if (const platform::Size* s = r[4].size()) w.size = *s;
        } else {
            // One attribute at a time; position and size keep their defaults on this path.
            started = runtime::mediaTime();
            const platform::AXReadResult minimized = ax.copyAttributeValue(*element, platform::ax::kMinimized);
            const double took = runtime::mediaTime() - started;
            if (!minimized.ok() && minimized.error == AXError::cannotComplete && took >= kSlowThreshold) {
                markUnresponsiveIfSlow(minimized.error, pid, took);
                return {};
            }
            if (minimized.ok() && minimized.value) w.isMinimized = minimized.value->boolean() && *minimized.value->boolean();
            if (runtime::mediaTime() < deadline) {
                const platform::AXReadResult subrole = ax.copyAttributeValue(*element, platform::ax::kSubrole);
                if (subrole.ok() && subrole.value && subrole.value->string())
                    w.isStandardOrDialog = isStandardOrDialogSubrole(*subrole.value->string());
            }
            if (runtime::mediaTime() < deadline) {
                const platform::AXReadResult title = ax.copyAttributeValue(*element, platform::ax::kTitle);
                if (title.ok() && title.value && title.value->string())
                    w.title = trimWhitespaceAndNewlines(*title.value->string());
            }
        }
        if (w.isMinimized || w.isStandardOrDialog) answer.windows.push_back(std::move(w));
    }
    return answer;
}

}  // namespace quillmar
