#include "festive_hud/hud_festive_state.h"

#include <algorithm>
#include <cmath>

#include "festive_hud/clamped_index.h"
#include "festive_hud/festive_art_table.h"
#include "festive_hud/festive_calendar.h"
#include "festive_hud/festive_particle_spawner.h"
#include "festive_hud/festive_physics.h"
#include "localization/app_language.h"
#include "platform/accessibility_display_options.h"
#include "runtime/wall_clock.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"

namespace quillmar {

namespace {

constexpr double kHopWindow = 0.4;          // hops older than this no longer count
constexpr std::size_t kMaxHops = 6;
constexpr std::size_t kHopsForBurst = 3;
constexpr int kFreshBurstCount = 22;
constexpr int kTopUpCount = 8;
constexpr double kFreshBurstSpacing = 0.9;
constexpr double kTopUpSpacing = 0.2;
constexpr double kTickInterval = 1.0 / 60.0;

constexpr std::size_t kMaxGlowSamples = 40;
constexpr double kGlowSampleLifetime = 2.4;
constexpr double kFocusSmoothing = 0.36;
constexpr double kMergeInterval = 0.022;
constexpr double kMergeDistance = 0.014;
constexpr double kArmedSampleStrength = 0.65;

bool holidaySparkleOn() { return SwitcherSettings::shared().holidaySparkle.get(); }

}  // namespace

HUDFestiveState& HUDFestiveState::shared() { return runtime::World::shared<HUDFestiveState>(); }

HUDFestiveState::HUDFestiveState() : rng_(FestiveRandom::fromSystemEntropy()) {
    particles_.reserve(kMaxFestiveParticles);
    hopTimes_.reserve(kMaxHops + 1);
    christmasGlowTrail_.reserve(kMaxGlowSamples);
    // Switching QA mode off drops the QA perimeter override and stops the overlay. The settings
    // model cannot call in here (this module builds on it), so the state listens instead.
    qaModeSubscription_ = SwitcherSettings::shared().qaModeSwitchedOff.connect([this] {
        qaShowChristmasPerimeter = false;
        stopFestiveOverlay();
    });
}

HUDFestiveState::~HUDFestiveState() = default;

bool HUDFestiveState::isQAMode() const { return SwitcherSettings::shared().qaModeEnabled.get(); }

void HUDFestiveState::setPerimeterVisible(bool visible) {
    if (isChristmasPerimeterVisible.get() != visible) isChristmasPerimeterVisible = visible;
}

std::optional<HUDFestiveTheme> HUDFestiveState::resolveFestiveTheme() const {
    if (isQAMode())
        return kAllHUDFestiveThemes[wrappedIndex(static_cast<std::int64_t>(qaRotationIndex_), kAllHUDFestiveThemes.size())];
    return cachedFestiveTheme(AppLanguage::current(), runtime::WallClock::shared().now());
}

bool HUDFestiveState::isChristmasPerimeterDayNow() const {
    if (isQAMode()) return qaShowChristmasPerimeter.get();
    return isChristmasPerimeterDay(runtime::WallClock::shared().now());
}

bool HUDFestiveState::shouldShowChristmasPerimeter() const {
    if (!holidaySparkleOn()) return false;
    if (isChristmasPerimeterVisible.get()) return true;
    return isChristmasPerimeterDayNow();
}

void HUDFestiveState::armFestiveOverlay(double focus) {
    hopTimes_.clear();
    christmasGlowTrail_.clear();
    if (!holidaySparkleOn()) {
        armedTheme_.reset();
        setPerimeterVisible(false);
        return;
    }

    const bool perimeterDay = isChristmasPerimeterDayNow();
    setPerimeterVisible(perimeterDay);
    if (perimeterDay) {
        const double f = std::isnan(focus) ? 1.0 : std::clamp(focus, 0.0, 1.0);
        christmasSmoothedFocus_ = f;
        christmasGlowTrail_.push_back({f, runtime::mediaTime(), kArmedSampleStrength});
    }

    if (platform::AccessibilityDisplayOptions::shared().shouldReduceMotion()) {
        armedTheme_.reset();
    } else if (isQAMode()) {
        armedTheme_ = qaShowChristmasPerimeter.get()
                          ? HUDFestiveTheme::christmas
                          : kAllHUDFestiveThemes[wrappedIndex(static_cast<std::int64_t>(qaRotationIndex_),
                                                              kAllHUDFestiveThemes.size())];
    } else {
        armedTheme_ = cachedFestiveTheme(AppLanguage::current(), runtime::WallClock::shared().now());
    }
}

void HUDFestiveState::noteChristmasFocus(double normalizedPosition, double speed) {
    if (!isChristmasPerimeterVisible.get()) return;
    // A position or speed that is not a number would stay in the smoothed focus for good.
    if (!std::isfinite(normalizedPosition) || !std::isfinite(speed)) return;
    const double now = runtime::mediaTime();

    const double target = std::clamp(normalizedPosition, 0.0, 1.0);
    christmasSmoothedFocus_ += (target - christmasSmoothedFocus_) * kFocusSmoothing;
    std::erase_if(christmasGlowTrail_, [now](const ChristmasGlowSample& s) { return now - s.timestamp > kGlowSampleLifetime; });

    const double strength = std::clamp(speed * 22 + 0.5, 0.55, 1.0);
    if (!christmasGlowTrail_.empty()) {
        ChristmasGlowSample& last = christmasGlowTrail_.back();
        if (now - last.timestamp < kMergeInterval &&
            std::fabs(last.normalizedPos - christmasSmoothedFocus_) < kMergeDistance) {
            last.timestamp = now;
            last.normalizedPos = christmasSmoothedFocus_;
            last.strength = std::max(last.strength, strength);
            return;
        }
    }
    if (christmasGlowTrail_.size() >= kMaxGlowSamples)
        christmasGlowTrail_.erase(christmasGlowTrail_.begin(),
                                  christmasGlowTrail_.begin() +
                                      static_cast<std::ptrdiff_t>(christmasGlowTrail_.size() - (kMaxGlowSamples - 1)));
    christmasGlowTrail_.push_back({christmasSmoothedFocus_, now, strength});
}

void HUDFestiveState::noteFestiveHop(int index, double direction) {
    // The holiday switch may go off while the bar is open; the festival armed at presentation
    // must not outlive it.
    if (!holidaySparkleOn()) return;
    if (!armedTheme_) return;
    const double now = runtime::mediaTime();
    hopTimes_.push_back(now);
    std::erase_if(hopTimes_, [now](double t) { return now - t > kHopWindow; });
    if (hopTimes_.size() > kMaxHops)
        hopTimes_.erase(hopTimes_.begin(), hopTimes_.begin() + static_cast<std::ptrdiff_t>(hopTimes_.size() - kMaxHops));
    if (hopTimes_.size() < kHopsForBurst) return;

    const double rate = static_cast<double>(hopTimes_.size() - 1) / std::max(now - hopTimes_.front(), 0.001);
    double intensity = std::clamp((rate - 5) / 9, 0.0, 1.0);
    if (std::isnan(intensity)) intensity = 0;

    if (!particles_.empty()) {
        if (now - lastTopUp_ >= kTopUpSpacing) {
            lastTopUp_ = now;
            // Top up with the festival that is flying, which a later arming may have replaced.
            spawnFestiveBurst(kTopUpCount, index, activeTheme_.value_or(*armedTheme_), direction, intensity);
            startFestiveTimer();
        }
        return;
    }
    if (now - lastFreshBurst_ >= kFreshBurstSpacing) {
        lastFreshBurst_ = now;
        lastTopUp_ = now;
        activeTheme_ = armedTheme_;
        spawnFestiveBurst(kFreshBurstCount, index, *armedTheme_, direction, intensity);
        if (isQAMode())
            qaRotationIndex_ = static_cast<int>(wrappedIndex(static_cast<std::int64_t>(qaRotationIndex_) + 1,
                                                             kAllHUDFestiveThemes.size()));
        startFestiveTimer();
    }
}

void HUDFestiveState::stopFestiveOverlay() {
    stopFestiveTimer();
    hopTimes_.clear();
    christmasGlowTrail_.clear();
    particles_.clear();
    setPerimeterVisible(false);
    if (activeTheme_) {
        activeTheme_.reset();
        frame = frame.get() + 1;
    }
}

void HUDFestiveState::spawnFestiveBurst(int count, int index, HUDFestiveTheme theme, double direction,
                                        double intensity) {
    spawnFestiveParticles(particles_, festiveKindSpecs(theme), geometry,
                          FestiveBurstRequest{count, index, direction, intensity}, rng_);
}

void HUDFestiveState::festiveTick() {
    const double now = runtime::mediaTime();
    const double dt = festiveStepInterval(now - lastTick_);
    lastTick_ = now;
    if (!activeTheme_) {
        stopFestiveTimer();
        return;
    }
    stepFestiveParticles(particles_, festiveKindSpecs(*activeTheme_), geometry, dt);
    if (particles_.empty()) {
        stopFestiveTimer();
        activeTheme_.reset();
    }
    frame = frame.get() + 1;
}

void HUDFestiveState::startFestiveTimer() {
    if (timer_.isValid()) return;
    lastTick_ = runtime::mediaTime();
    // The handle lives in this object, so the timer ends with it and never outlives `this`.
    timer_ = runtime::MainLoop::main().scheduleRepeating(kTickInterval, [this] { festiveTick(); });
}

void HUDFestiveState::stopFestiveTimer() { timer_.invalidate(); }

}  // namespace quillmar
