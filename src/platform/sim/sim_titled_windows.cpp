#include "platform/sim/sim_titled_windows.h"

#include <algorithm>
#include <cmath>

#include "platform/process_info.h"
#include "platform/screens.h"
#include "platform/workspace.h"
#include "runtime/world.h"

namespace quillmar::platform::sim {

SimTitledWindow::SimTitledWindow(const TitledWindowConfig& config, SimTitledWindows& owner)
    : config_(config), owner_(owner), frame_(config.contentRect) {
    owner_.windows_.push_back(this);
}

SimTitledWindow::~SimTitledWindow() {
    std::erase(owner_.windows_, this);
    if (owner_.key_ == this) owner_.key_ = nullptr;
}

void SimTitledWindow::setFrameOrigin(Point origin) {
    if (!std::isfinite(origin.x) || !std::isfinite(origin.y)) return;
    frame_.x = origin.x;
    frame_.y = origin.y;
}

void SimTitledWindow::center() {
    // The system puts a centred window a little above the middle of the main screen's visible
    // frame: horizontally centred, with a third of the spare height above it.
    auto* screens = runtime::World::find<Screens>();
    auto main = screens ? screens->mainScreen() : std::nullopt;
    if (!main) return;
    const Rect v = main->visibleFrame;
    setFrameOrigin({std::round(v.midX() - frame_.width / 2), std::round(v.y + (v.height - frame_.height) * 2 / 3)});
}

bool SimTitledWindow::isKeyWindow() const { return owner_.key_ == this; }

void SimTitledWindow::miniaturize() {
    miniaturized_ = true;
    if (owner_.key_ == this) owner_.key_ = nullptr;
}

void SimTitledWindow::orderFrontRegardless() {
    visible_ = true;
    ++orderFronts_;
}

void SimTitledWindow::makeKeyAndOrderFront() {
    visible_ = true;
    ++orderFronts_;
    if (!miniaturized_) owner_.key_ = this;
}

void SimTitledWindow::performClose() {
    if (!visible_ && !miniaturized_) return;
    if (willClose_) {
        auto handler = willClose_;  // the handler may release this window's owner's references
        handler();
    }
    visible_ = false;
    miniaturized_ = false;
    if (owner_.key_ == this) owner_.key_ = nullptr;
}

bool SimTitledWindow::deliverKey(const KeyPress& key) {
    if (!keyEquivalent_) return false;
    auto handler = keyEquivalent_;
    return handler(key);
}

SimTitledWindows& SimTitledWindows::install() {
    return static_cast<SimTitledWindows&>(runtime::World::install<TitledWindows>(std::make_unique<SimTitledWindows>()));
}

std::unique_ptr<TitledWindow> SimTitledWindows::createWindow(const TitledWindowConfig& config) {
    return std::make_unique<SimTitledWindow>(config, *this);
}

void SimTitledWindows::activateApplication(std::uint32_t options) {
    ++activations_;
    lastOptions_ = options;
    auto* workspace = runtime::World::find<Workspace>();
    auto* process = runtime::World::find<ProcessInfo>();
    if (workspace && process) workspace->activate(process->processIdentifier(), options);
}

bool SimTitledWindows::pressKey(const KeyPress& key) { return key_ && key_->deliverKey(key); }

}  // namespace quillmar::platform::sim
