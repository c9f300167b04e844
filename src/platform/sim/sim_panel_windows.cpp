#include "platform/sim/sim_panel_windows.h"

#include <algorithm>
#include <cmath>

#include "runtime/world.h"

namespace quillmar::platform::sim {

namespace {
double clampAlpha(double a) { return std::isfinite(a) ? std::clamp(a, 0.0, 1.0) : 1.0; }
}  // namespace

SimPanelWindow::SimPanelWindow(const PanelConfig& config, std::shared_ptr<Registry> registry)
    : config_(config), registry_(std::move(registry)), frame_(config.contentRect) {
    if (registry_) registry_->push_back(this);
}

SimPanelWindow::~SimPanelWindow() {
    if (registry_) std::erase(*registry_, this);
}

void SimPanelWindow::setFrame(const Rect& frame, bool, bool animate) {
    if (!std::isfinite(frame.x) || !std::isfinite(frame.y) || !std::isfinite(frame.width) ||
        !std::isfinite(frame.height))
        return;
    frame_ = frame;
    lastFrameAnimated_ = animate;
    ++frameChanges_;
}

void SimPanelWindow::orderFrontRegardless() {
    visible_ = true;
    ++orderFronts_;
}

void SimPanelWindow::orderOut() { visible_ = false; }

void SimPanelWindow::setAlphaValue(double alpha) {
    if (animation_) {
        auto completion = std::move(animation_->completion);
        animation_.reset();
        timer_.invalidate();
        alpha_ = clampAlpha(alpha);
        if (completion) completion();
        return;
    }
    alpha_ = clampAlpha(alpha);
}

void SimPanelWindow::animateAlpha(double target, double duration, TimingCurve curve, std::function<void()> completion) {
    if (animation_) finishAnimation(false);
    target = clampAlpha(target);
    if (!std::isfinite(duration) || duration <= 0) {
        alpha_ = target;
        if (completion) runtime::MainLoop::main().post(std::move(completion));
        return;
    }
    animation_ = AlphaAnimation{alpha_, target, runtime::mediaTime(), duration, curve, std::move(completion)};
    timer_ = runtime::MainLoop::main().scheduleRepeating(1.0 / 60.0, [this] { step(); });
}

void SimPanelWindow::step() {
    if (!animation_) return;
    const double t = (runtime::mediaTime() - animation_->start) / animation_->duration;
    if (t >= 1 - 1e-9) {
        finishAnimation(true);
        return;
    }
    alpha_ = animation_->from + (animation_->to - animation_->from) * animation_->curve.value(t);
}

void SimPanelWindow::finishAnimation(bool jumpToEnd) {
    if (!animation_) return;
    if (jumpToEnd) alpha_ = animation_->to;
    auto completion = std::move(animation_->completion);
    animation_.reset();
    timer_.invalidate();
    if (completion) completion();
}

SimPanelWindows& SimPanelWindows::install() {
    return static_cast<SimPanelWindows&>(
        runtime::World::install<PanelWindows>(std::make_unique<SimPanelWindows>()));
}

std::unique_ptr<PanelWindow> SimPanelWindows::createPanel(const PanelConfig& config) {
    return std::make_unique<SimPanelWindow>(config, registry_);
}

std::vector<SimPanelWindow*> SimPanelWindows::panels() const { return *registry_; }

}  // namespace quillmar::platform::sim
