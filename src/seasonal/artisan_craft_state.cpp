#include "seasonal/artisan_craft_state.h"

#include <algorithm>
#include <cmath>

#include "festive_hud/clamped_index.h"
#include "localization/app_language.h"
#include "platform/accessibility_display_options.h"
#include "runtime/wall_clock.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"
#include "ui/animation.h"
#include "ui/transaction.h"

namespace quillmar {

namespace {

constexpr double kTickInterval = 1.0 / 60.0;
constexpr double kTapSeriesGap = 2.4;          // a longer pause starts the count again
constexpr int kTapsToUnlock = 3;
constexpr double kQAIconTapSpacing = 0.35;     // QA mode: icon taps closer than this after an unlock
constexpr double kIconReplaySpacing = 0.75;    // icon taps this soon after an unlock, while it plays
constexpr double kQAEmblemTapSpacing = 0.15;
constexpr double kEmblemReplaySpacing = 0.55;
constexpr double kReducedMotionLength = 1.2;

template <class T>
void setIfChanged(runtime::Published<T>& property, const T& value) {
    if (!(property.get() == value)) property = value;
}

}  // namespace

ArtisanCraftState& ArtisanCraftState::shared() { return runtime::World::shared<ArtisanCraftState>(); }

ArtisanCraftState::ArtisanCraftState() {
    // QA mode can be switched off from the status menu, a URL command or the card's badge; in
    // every case the QA egg must go and its animations stop, so the state listens itself. The
    // value is delivered before it is stored: reading the property still gives the old value.
    qaModeSubscription_ = SwitcherSettings::shared().qaModeEnabled.publisher().dropFirst().sink([this](const bool& on) {
        if (on) return;
        const bool wasOn = SwitcherSettings::shared().qaModeEnabled.get();
        if (wasOn || activeEggIsFromQA_) clearQAEasterEgg();
    });
}

ArtisanCraftState::~ArtisanCraftState() { *alive_ = false; }

bool ArtisanCraftState::isQAMode() { return SwitcherSettings::shared().qaModeEnabled.get(); }

bool ArtisanCraftState::shouldReduceMotion() {
    return platform::AccessibilityDisplayOptions::shared().shouldReduceMotion();
}

SeasonalEasterEgg ArtisanCraftState::eggOfToday() const {
    return SeasonalEasterEgg::forDate(runtime::WallClock::shared().now(), AppLanguage::current());
}

void ArtisanCraftState::clearQAEasterEgg() {
    stopHint();
    stopTapBurst();
    stopDissolve();
    activeEggIsFromQA_ = false;
    if (activeEasterEgg.get()) activeEasterEgg = std::nullopt;
}

void ArtisanCraftState::performHaptic(platform::HapticPattern pattern, double delay) {
    if (delay <= 0) {
        if (auto* haptics = platform::Haptics::installed()) haptics->perform(pattern);
        return;
    }
    std::weak_ptr<bool> alive = alive_;
    runtime::MainLoop::main().after(delay, [alive, pattern] {
        if (!alive.lock()) return;
        if (auto* haptics = platform::Haptics::installed()) haptics->perform(pattern);
    });
}

// ---- Taps --------------------------------------------------------------------------------------

void ArtisanCraftState::handleIconTap(bool hapticsEnabled) {
    const double now = runtime::mediaTime();
    if (now - lastTapTimestamp > kTapSeriesGap) iconTapCount = 0;
    lastTapTimestamp = now;

    if (activeEasterEgg.get()) {
        const double sinceUnlock = now - lastUnlockTimestamp;
        if (isQAMode()) {
            if (sinceUnlock < kQAIconTapSpacing) return;
        } else if (dissolveProgress.get() && sinceUnlock < kIconReplaySpacing) {
            return;
        }
        handleEmblemTap(hapticsEnabled);
        return;
    }

    iconTapCount += 1;
    if (iconTapCount < kTapsToUnlock) {
        startTapBurst(iconTapCount, hapticsEnabled);
        return;
    }
    iconTapCount = 0;
    lastUnlockTimestamp = now;
    stopTapBurst();
    stopHint();
    if (isQAMode()) {
        qaRotationIndex = 0;
        activeEggIsFromQA_ = true;
        beginUnlockAnimation(SeasonalEasterEgg::qaRotation().front(), hapticsEnabled);
    } else {
        activeEggIsFromQA_ = false;
        beginUnlockAnimation(eggOfToday(), hapticsEnabled);
    }
}

void ArtisanCraftState::handleEmblemTap(bool hapticsEnabled) {
    const double now = runtime::mediaTime();
    const double sinceUnlock = now - lastUnlockTimestamp;
    if (isQAMode()) {
        if (sinceUnlock < kQAEmblemTapSpacing) return;
        lastUnlockTimestamp = now;
        stopTapBurst();
        stopHint();
        const auto& rotation = SeasonalEasterEgg::qaRotation();
        const std::size_t place =
            activeEasterEgg.get() ? wrappedIndex(static_cast<std::int64_t>(qaRotationIndex) + 1, rotation.size()) : 0;
        qaRotationIndex = static_cast<int>(place);
        activeEggIsFromQA_ = true;
        beginUnlockAnimation(rotation[place], hapticsEnabled);
        return;
    }
    if (dissolveProgress.get() && sinceUnlock < kEmblemReplaySpacing) return;
    lastUnlockTimestamp = now;
    stopTapBurst();
    stopHint();
    activeEggIsFromQA_ = false;
    beginUnlockAnimation(eggOfToday(), hapticsEnabled);
}

// ---- Unlock and dissolve -----------------------------------------------------------------------

double ArtisanCraftState::dissolveDuration(ArtisanCanvasTheme theme, bool reduceMotion) {
    if (reduceMotion) return kReducedMotionLength;
    switch (theme) {
        case ArtisanCanvasTheme::stPatricksWindowSpectacle:
        case ArtisanCanvasTheme::fireworksCelebration:
        case ArtisanCanvasTheme::halloweenSpectacle:
        case ArtisanCanvasTheme::christmasSpectacle: return 5.6;
        default: return 5.15;
    }
}

void ArtisanCraftState::beginUnlockAnimation(const SeasonalEasterEgg& egg, bool hapticsEnabled) {
    ui::withAnimation(ui::Animation::spring(0.34, 0.74, 0), [&] { activeEasterEgg = egg; });
    if (hapticsEnabled) {
        performHaptic(platform::HapticPattern::generic, 0);
        performHaptic(platform::HapticPattern::alignment, 0.055);
        performHaptic(platform::HapticPattern::levelChange, 0.125);
    }
    const double length = dissolveDuration(egg.canvasTheme, shouldReduceMotion());
    sessionHapticsEnabled = hapticsEnabled;
    PointerWake::shared().pointerRadiusScale = egg.canvasTheme == ArtisanCanvasTheme::halloweenSpectacle ? 1.5 : 1.0;
    startDissolve(length);
}

void ArtisanCraftState::startDissolve(double duration) {
    stopDissolve();
    const double now = runtime::mediaTime();
    activeDissolveDuration = std::isfinite(duration) && duration > 0 ? duration : 5.15;
    dissolveStartTime = now;
    PointerWake::shared().lastCursorSampleTime = now;
    dissolveProgress = 0.0;
    dissolveTimer_ = runtime::MainLoop::main().scheduleRepeating(kTickInterval, [this] { dissolveTick(); });
}

void ArtisanCraftState::dissolveTick() {
    const double now = runtime::mediaTime();
    const double p = (now - dissolveStartTime) / activeDissolveDuration;
    if (!(p < 1)) {
        stopDissolve();
        return;
    }
    sampleWindowCursor(now);
    playContactHaptic(now);
    dissolveProgress = p;
}

void ArtisanCraftState::stopDissolve() {
    dissolveTimer_.invalidate();
    auto& wake = PointerWake::shared();
    wake.currentWindowCursor.reset();
    wake.cursorIsMoving = false;
    wake.pendingContactHaptic = false;
    wake.wakePuffs.clear();  // keeps its storage
    setIfChanged(dissolveProgress, std::optional<double>{});
}

// ---- Hint and tap burst ------------------------------------------------------------------------

void ArtisanCraftState::startHint() {
    if (dissolveProgress.get()) return;
    stopHint();
    activeHintDuration = shouldReduceMotion() ? kReducedMotionLength : 2.6;
    hintStartTime = runtime::mediaTime();
    hintProgress = 0.0;
    hintTimer_ = runtime::MainLoop::main().scheduleRepeating(kTickInterval, [this] { hintTick(); });
}

void ArtisanCraftState::hintTick() {
    const double p = (runtime::mediaTime() - hintStartTime) / activeHintDuration;
    if (p < 1) {
        hintProgress = p;
    } else {
        stopHint();
    }
}

void ArtisanCraftState::stopHint() {
    hintTimer_.invalidate();
    setIfChanged(hintProgress, std::optional<double>{});
}

void ArtisanCraftState::startTapBurst(int level, bool hapticsEnabled) {
    stopTapBurst();
    tapBurstLevel = level;
    tapBurstStartTime = runtime::mediaTime();
    tapBurstProgress = 0.0;
    if (hapticsEnabled) {
        performHaptic(platform::HapticPattern::alignment, 0);
        if (level >= 2) performHaptic(platform::HapticPattern::levelChange, 0.058);
    }
    tapBurstTimer_ = runtime::MainLoop::main().scheduleRepeating(kTickInterval, [this] { tapBurstTick(); });
}

void ArtisanCraftState::tapBurstTick() {
    const double p = (runtime::mediaTime() - tapBurstStartTime) / tapBurstDuration;
    if (p < 1) {
        tapBurstProgress = p;
    } else {
        stopTapBurst();
    }
}

void ArtisanCraftState::stopTapBurst() {
    tapBurstTimer_.invalidate();
    setIfChanged(tapBurstProgress, std::optional<double>{});
    setIfChanged(tapBurstLevel, 0);
}

// ---- Pointer wake ------------------------------------------------------------------------------

void ArtisanCraftState::setAboutCardOriginInWindow(Point origin) {
    if (origin.isFinite()) PointerWake::shared().aboutCardOriginInWindow = origin;
}

WakeDisplacement ArtisanCraftState::cursorWakeDisplacement(Point point, Point origin, double maxDisplacement,
                                                           double strength) const {
    return PointerWake::shared().cursorWakeDisplacement(point.x, point.y, origin.x, origin.y, maxDisplacement,
                                                        strength);
}

}  // namespace quillmar
