#pragma once
// The shared festive state of the Switch Bar: the festival armed for the current presentation,
// the live particles and their 60 Hz timer, the Christmas glow trail, the bar's geometry and the
// QA-mode rotation through all eleven festivals.
//
//   auto& festive = HUDFestiveState::shared();
//   festive.armFestiveOverlay(0.5);                // the bar was presented
//   festive.noteChristmasFocus(0.6, 0.01);         // each scrub step that moves the selection ...
//   festive.noteFestiveHop(3, +1.0);               // ... then the hop itself
//   festive.stopFestiveOverlay();                  // the bar was dismissed
//
// Lifecycle: idle (nothing armed) -> armed (a festival chosen at presentation) -> active (a
// third hop within 0.4 s threw a burst; particles fly and a 1/60 s timer steps them) -> armed
// again when the last particle dies, or emptied by stop (which keeps the armed festival).
// Nothing happens while the holiday setting is off; under Reduce Motion no festival is armed.
// The overlay redraws on `frame`, published once per physics step.
//
// Main thread only. All times are media time (runtime::mediaTime()), in seconds.

#include <cstdint>
#include <optional>
#include <vector>

#include "festive_hud/christmas_glow_sample.h"
#include "festive_hud/festive_random.h"
#include "festive_hud/hud_festive_geometry.h"
#include "festive_hud/hud_festive_particle.h"
#include "festive_hud/hud_festive_theme.h"
#include "runtime/main_loop.h"
#include "runtime/published.h"
#include "runtime/subscription.h"

namespace quillmar {

class HUDFestiveState : public runtime::ObservableObject {
public:
    // The one instance of the world, created on first use.
    static HUDFestiveState& shared();
    HUDFestiveState();
    ~HUDFestiveState() override;

    // Redraw counter of the overlay: one increment per physics step, and one when a stop ends
    // an active festival.
    runtime::Published<std::int64_t> frame{0, this};
    // The Christmas perimeter is up for the current presentation.
    runtime::Published<bool> isChristmasPerimeterVisible{false, this};
    // QA override: in QA mode, show the perimeter and arm christmas whatever the date.
    runtime::Published<bool> qaShowChristmasPerimeter{false, this};

    // The bar's layout, written whole by the bar's view; not published.
    HUDFestiveGeometry geometry;

    // The festival of now: in QA mode the current step of the rotation, else the cached
    // festival of today (eve included) for the interface language.
    std::optional<HUDFestiveTheme> resolveFestiveTheme() const;
    // In QA mode the QA override, else whether today is December 24 or 25.
    bool isChristmasPerimeterDayNow() const;
    // Whether the bar wears its Christmas perimeter now (the bar then draws itself dark).
    bool shouldShowChristmasPerimeter() const;

    // Each presentation of the bar, once it is visible; focus = the start entry's position
    // along the bar (0...1; 0.5 for a single entry).
    void armFestiveOverlay(double focus);
    // Each scrub step that moves the selection: its position along the bar (0...1) and the
    // step's pad travel as speed. Feeds the glow trail while the perimeter is visible.
    void noteChristmasFocus(double normalizedPosition, double speed);
    // Each selection change: the new index and +1 (forwards) or -1 (backwards).
    void noteFestiveHop(int index, double direction);
    // Each dismissal of the bar (and the holiday and QA switches turning off).
    void stopFestiveOverlay();

    // Adds a burst of the theme's particles (see spawnFestiveParticles); publishes nothing.
    void spawnFestiveBurst(int count, int index, HUDFestiveTheme theme, double direction, double intensity);
    // One physics step; the timer calls it every 1/60 s while particles live.
    void festiveTick();

    const std::vector<HUDFestiveParticle>& particles() const { return particles_; }
    std::optional<HUDFestiveTheme> activeTheme() const { return activeTheme_; }
    std::optional<HUDFestiveTheme> armedTheme() const { return armedTheme_; }
    const std::vector<ChristmasGlowSample>& christmasGlowTrail() const { return christmasGlowTrail_; }
    double christmasSmoothedFocus() const { return christmasSmoothedFocus_; }
    const std::vector<double>& hopTimes() const { return hopTimes_; }
    int qaRotationIndex() const { return qaRotationIndex_; }
    bool isAnimating() const { return timer_.isValid(); }

    // Makes every later burst reproducible (tests, benchmarks).
    void seedRandom(std::uint64_t seed) { rng_.reseed(seed); }

private:
    void startFestiveTimer();
    void stopFestiveTimer();
    bool isQAMode() const;
    void setPerimeterVisible(bool visible);

    std::vector<ChristmasGlowSample> christmasGlowTrail_;
    double christmasSmoothedFocus_ = 0.5;
    std::vector<HUDFestiveParticle> particles_;
    std::optional<HUDFestiveTheme> activeTheme_;
    std::optional<HUDFestiveTheme> armedTheme_;
    std::vector<double> hopTimes_;
    double lastFreshBurst_ = -10;
    double lastTopUp_ = -10;
    double lastTick_ = 0;
    runtime::TimerHandle timer_;
    int qaRotationIndex_ = 0;
    FestiveRandom rng_;
    runtime::Subscription qaModeSubscription_;
};

}  // namespace quillmar
