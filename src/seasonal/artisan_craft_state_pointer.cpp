// The pointer side of the craft state: one sample of the pointer over the settings window per
// dissolve step (laying wake puffs behind a moving pointer) and the contact haptic.

#include <algorithm>
#include <cmath>

#include "platform/app_window_list.h"
#include "seasonal/artisan_craft_state.h"

namespace quillmar {

namespace {

constexpr double kPuffLifetime = 1.05;
constexpr std::size_t kMaxPuffs = 20;
constexpr double kMaxPuffSpeed = 950;
constexpr double kMovingThreshold = 1.2;
constexpr double kPuffStepThreshold = 0.6;
constexpr double kPuffSpacing = 4;
constexpr double kWindowMargin = 16;
constexpr double kWindowWidthSlack = 24;
constexpr double kContactHapticSpacing = 0.095;

// The pointer over the settings window (else the key window) in its content, top-left origin;
// none when it is not over that content (with a margin of 16 points) or there is no such window.
std::optional<Point> pointerInSettingsWindow() {
    const auto* list = platform::AppWindowList::installed();
    if (!list) return std::nullopt;
    const auto windows = list->windows();
    const platform::AppWindowState* window = nullptr;
    for (const auto& w : windows)
        if (w.isVisible && std::fabs(w.frame.width - ArtisanCraftState::kSettingsWindowWidth) < kWindowWidthSlack) {
            window = &w;
            break;
        }
    if (!window)
        for (const auto& w : windows)
            if (w.isKey) {
                window = &w;
                break;
            }
    if (!window || !window->contentSize) return std::nullopt;
    const Size bounds = *window->contentSize;
    if (!(bounds.width > 10 && bounds.height > 10)) return std::nullopt;
    const Point raw = window->mouseLocationInWindow;
    const Point p{raw.x, bounds.height - raw.y};
    if (!p.isFinite()) return std::nullopt;
    if (p.x < -kWindowMargin || p.x > bounds.width + kWindowMargin || p.y < -kWindowMargin ||
        p.y > bounds.height + kWindowMargin)
        return std::nullopt;
    return p;
}

}  // namespace

void ArtisanCraftState::sampleWindowCursor(double now) {
    auto& wake = PointerWake::shared();
    std::erase_if(wake.wakePuffs, [now](const PointerWakePuff& puff) { return now - puff.birth > kPuffLifetime; });

    const auto p = pointerInSettingsWindow();
    if (!p) {
        wake.currentWindowCursor.reset();
        return;
    }

    const double dt = std::clamp(now - wake.lastCursorSampleTime, 1.0 / 120.0, 0.1);
    wake.lastCursorSampleTime = now;

    if (!wake.currentWindowCursor) {
        lastPuffOrigin = *p;
        wake.cursorIsMoving = false;
        wake.currentWindowCursor = *p;
        return;
    }

    const Point d = *p - *wake.currentWindowCursor;
    const double moved = std::hypot(d.x, d.y);
    wake.cursorIsMoving = moved > kMovingThreshold;
    if (moved > kPuffStepThreshold && distance(*p, lastPuffOrigin) >= kPuffSpacing) {
        Point velocity = d * (1.0 / dt);
        const double speed = std::hypot(velocity.x, velocity.y);
        if (speed > kMaxPuffSpeed) velocity = velocity * (kMaxPuffSpeed / speed);
        if (wake.wakePuffs.size() >= kMaxPuffs)
            wake.wakePuffs.erase(wake.wakePuffs.begin(),
                                 wake.wakePuffs.begin() + static_cast<std::ptrdiff_t>(wake.wakePuffs.size() - (kMaxPuffs - 1)));
        wake.wakePuffs.push_back({*p, velocity, now});
        lastPuffOrigin = *p;
    }
    wake.currentWindowCursor = *p;
}

void ArtisanCraftState::playContactHaptic(double now) {
    auto& wake = PointerWake::shared();
    if (!wake.pendingContactHaptic) return;
    wake.pendingContactHaptic = false;
    if (!sessionHapticsEnabled || !wake.cursorIsMoving) return;
    if (now - lastContactHapticTime < kContactHapticSpacing) return;
    lastContactHapticTime = now;
    performHaptic(platform::HapticPattern::alignment, 0);
}

}  // namespace quillmar
