#pragma once
// Simulated titled windows: each keeps its frame, ordering, key status and miniaturised state in
// memory. One window at a time is key; making another key takes it away. Key presses are
// delivered with pressKey() to the key window. Windows are listed in creation order so that
// tests and demo steps can find the one on screen.

#include <functional>
#include <memory>
#include <vector>

#include "platform/titled_window.h"

namespace quillmar::platform::sim {

class SimTitledWindows;

class SimTitledWindow final : public TitledWindow {
public:
    SimTitledWindow(const TitledWindowConfig& config, SimTitledWindows& owner);
    ~SimTitledWindow() override;

    const TitledWindowConfig& config() const override { return config_; }
    Rect frame() const override { return frame_; }
    void setFrameOrigin(Point origin) override;
    void center() override;
    bool isVisible() const override { return visible_; }
    bool isKeyWindow() const override;
    bool isMiniaturized() const override { return miniaturized_; }
    void miniaturize() override;
    void deminiaturize() override { miniaturized_ = false; }
    void orderFrontRegardless() override;
    void makeKeyAndOrderFront() override;
    void performClose() override;
    void setWillCloseHandler(std::function<void()> handler) override { willClose_ = std::move(handler); }
    void setKeyEquivalentHandler(std::function<bool(const KeyPress&)> handler) override {
        keyEquivalent_ = std::move(handler);
    }
    void setNeedsDisplay() override { ++displayRequests_; }

    // A key press while this window is key; true when its handler took it.
    bool deliverKey(const KeyPress& key);
    int orderFrontCount() const { return orderFronts_; }
    int displayRequests() const { return displayRequests_; }

private:
    TitledWindowConfig config_;
    SimTitledWindows& owner_;
    Rect frame_;
    bool visible_ = false;
    bool miniaturized_ = false;
    int orderFronts_ = 0;
    int displayRequests_ = 0;
    std::function<void()> willClose_;
    std::function<bool(const KeyPress&)> keyEquivalent_;
};

class SimTitledWindows final : public TitledWindows {
public:
    static SimTitledWindows& install();

    std::unique_ptr<TitledWindow> createWindow(const TitledWindowConfig& config) override;
    void activateApplication(std::uint32_t options) override;

    // Windows that still exist, in creation order; the key one, if any.
    std::vector<SimTitledWindow*> windows() const { return windows_; }
    SimTitledWindow* keyWindow() const { return key_; }
    // Delivers a key press to the key window; false when there is none or it did not take it.
    bool pressKey(const KeyPress& key);
    int activationCount() const { return activations_; }
    std::uint32_t lastActivationOptions() const { return lastOptions_; }

private:
    friend class SimTitledWindow;
    std::vector<SimTitledWindow*> windows_;
    SimTitledWindow* key_ = nullptr;
    int activations_ = 0;
    std::uint32_t lastOptions_ = 0;
};

}  // namespace quillmar::platform::sim
