#pragma once
// Simulated floating panels: each keeps its frame, level, ordering and alpha in memory; alpha
// animations run on the main loop's clock (stepped at 60 Hz, exact at their end). Panels are
// listed in creation order so that tests and demo steps can find the one on screen.

#include <memory>
#include <optional>
#include <vector>

#include "platform/panel_window.h"
#include "runtime/main_loop.h"

namespace quillmar::platform::sim {

class SimPanelWindow final : public PanelWindow {
public:
    using Registry = std::vector<SimPanelWindow*>;
    SimPanelWindow(const PanelConfig& config, std::shared_ptr<Registry> registry);
    ~SimPanelWindow() override;

    Rect frame() const override { return frame_; }
    void setFrame(const Rect& frame, bool display, bool animate) override;
    int level() const override { return config_.level; }
    unsigned collectionBehavior() const override { return config_.collectionBehavior; }
    bool isVisible() const override { return visible_; }
    void orderFrontRegardless() override;
    void orderOut() override;
    double alphaValue() const override { return alpha_; }
    void setAlphaValue(double alpha) override;
    void animateAlpha(double target, double duration, TimingCurve curve, std::function<void()> completion) override;
    void invalidateShadow() override { ++shadowInvalidations_; }
    void setNeedsDisplay() override { ++displayRequests_; }

    const PanelConfig& config() const { return config_; }
    bool isAnimatingAlpha() const { return animation_.has_value(); }
    bool lastFrameChangeAnimated() const { return lastFrameAnimated_; }
    int frameChangeCount() const { return frameChanges_; }
    int orderFrontCount() const { return orderFronts_; }
    int shadowInvalidations() const { return shadowInvalidations_; }
    int displayRequests() const { return displayRequests_; }

private:
    struct AlphaAnimation {
        double from = 0, to = 0, start = 0, duration = 0;
        TimingCurve curve;
        std::function<void()> completion;
    };
    void step();
    void finishAnimation(bool jumpToEnd);

    PanelConfig config_;
    std::shared_ptr<Registry> registry_;
    Rect frame_;
    bool visible_ = false;
    double alpha_ = 1;
    std::optional<AlphaAnimation> animation_;
    runtime::TimerHandle timer_;
    bool lastFrameAnimated_ = false;
    int frameChanges_ = 0;
    int orderFronts_ = 0;
    int shadowInvalidations_ = 0;
    int displayRequests_ = 0;
};

class SimPanelWindows final : public PanelWindows {
public:
    static SimPanelWindows& install();
    std::unique_ptr<PanelWindow> createPanel(const PanelConfig& config) override;
    // Panels created so far that still exist.
    std::vector<SimPanelWindow*> panels() const;

private:
    std::shared_ptr<SimPanelWindow::Registry> registry_ = std::make_shared<SimPanelWindow::Registry>();
};

}  // namespace quillmar::platform::sim
