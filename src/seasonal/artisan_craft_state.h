#pragma once
// The easter egg of the About card: taps on the app icon counted toward the unlock, the three
// short animations (the hint that invites the first tap, the burst that answers the first and
// second, the dissolve that plays the egg), their haptics, and the pointer sampling that lets
// the scenes' sprites shy away from the pointer while a dissolve plays.
//
//   auto& craft = ArtisanCraftState::shared();
//   craft.handleIconTap(settings.hapticFeedback);    // the icon's button
//   craft.handleEmblemTap(settings.hapticFeedback);  // the emblem's button: replays the egg
//   craft.startHint();                               // the card came on screen on the About tab
//   craft.stopHint(); craft.stopTapBurst(); craft.stopDissolve();  // the window closed
//
// Each animation is idle (no timer, progress absent) or running (a 1/60 s timer publishes its
// progress, linear in media time from 0 toward 1, never 1 itself); a new start stops the old
// one first. Three taps, each within 2.4 s of the one before, unlock the egg of the day (in QA
// mode: the first of the seventeen QA eggs; later taps step through them). The egg on show stays
// after its dissolve; it is cleared when QA mode turns off (from anywhere), together with every
// running animation, so the card never keeps a QA egg outside QA mode.
//
// The pointer state the scenes read (cursor, wake puffs, reach, contact flag, the card's origin
// in the window) lives in PointerWake::shared(); this object samples it on each dissolve step.
//
// Main thread only; times are media time (runtime::mediaTime()), in seconds.

#include <memory>
#include <optional>

#include "platform/haptics.h"
#include "runtime/geometry.h"
#include "runtime/main_loop.h"
#include "runtime/published.h"
#include "runtime/subscription.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/seasonal_easter_egg.h"

namespace quillmar {

class ArtisanCraftState : public runtime::ObservableObject {
public:
    // The one instance of the world, created on first use.
    static ArtisanCraftState& shared();
    ArtisanCraftState();
    ~ArtisanCraftState() override;

    // The settings window's content width; the pointer is sampled in the app window whose
    // width is within 24 points of it (else in the key window).
    static constexpr double kSettingsWindowWidth = 480;

    runtime::Published<std::optional<SeasonalEasterEgg>> activeEasterEgg{std::nullopt, this};
    runtime::Published<std::optional<double>> dissolveProgress{std::nullopt, this};
    runtime::Published<std::optional<double>> hintProgress{std::nullopt, this};
    runtime::Published<int> tapBurstLevel{0, this};
    runtime::Published<std::optional<double>> tapBurstProgress{std::nullopt, this};

    // Taps and unlocks.
    int iconTapCount = 0;
    double lastTapTimestamp = 0;
    double lastUnlockTimestamp = 0;
    int qaRotationIndex = 0;

    // The running animations.
    double dissolveStartTime = 0;
    double activeDissolveDuration = 5.15;
    double hintStartTime = 0;
    double activeHintDuration = 2.6;
    double tapBurstStartTime = 0;
    double tapBurstDuration = 1.05;

    // Pointer sampling and contact haptics (the sampled values themselves live in PointerWake).
    Point lastPuffOrigin{-999, -999};
    double lastContactHapticTime = 0;
    bool sessionHapticsEnabled = false;

    // Called by the About card.
    void handleIconTap(bool hapticsEnabled);
    void handleEmblemTap(bool hapticsEnabled);
    void startHint();
    void stopHint();
    void stopTapBurst();
    void stopDissolve();

    void startTapBurst(int level, bool hapticsEnabled);
    void beginUnlockAnimation(const SeasonalEasterEgg& egg, bool hapticsEnabled);
    void startDissolve(double duration);

    // The timer steps.
    void hintTick();
    void tapBurstTick();
    void dissolveTick();

    // Pointer wake (each dissolve step, sampling first).
    void sampleWindowCursor(double now);
    void playContactHaptic(double now);
    // The scenes' displacement of a sprite at `point` on a canvas whose origin lies at `origin`
    // in the window (see PointerWake).
    WakeDisplacement cursorWakeDisplacement(Point point, Point origin, double maxDisplacement, double strength) const;

    // The card's top-left corner in the settings window, written by the card.
    Point aboutCardOriginInWindow() const { return PointerWake::shared().aboutCardOriginInWindow; }
    void setAboutCardOriginInWindow(Point origin);

    bool isHintRunning() const { return hintTimer_.isValid(); }
    bool isTapBurstRunning() const { return tapBurstTimer_.isValid(); }
    bool isDissolveRunning() const { return dissolveTimer_.isValid(); }

    // The length of the dissolve of an egg of `theme` (Reduce Motion: 1.2 s for every theme).
    static double dissolveDuration(ArtisanCanvasTheme theme, bool reduceMotion);

private:
    static bool isQAMode();
    static bool shouldReduceMotion();
    SeasonalEasterEgg eggOfToday() const;
    void performHaptic(platform::HapticPattern pattern, double delay);
    void clearQAEasterEgg();

    runtime::TimerHandle hintTimer_;
    runtime::TimerHandle tapBurstTimer_;
    runtime::TimerHandle dissolveTimer_;
    bool activeEggIsFromQA_ = false;
    runtime::Subscription qaModeSubscription_;
    // Delayed work (haptics) holds this weakly: it does nothing once the state is gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quillmar
