#pragma once
// The system's accessibility display preferences that drawing and animation code consult at
// the moment of use: Reduce Motion, Reduce Transparency and Increase Contrast. There is no
// system to ask on this platform, so the flags are held here; scenario steps of the demo and
// tests set them, also while the Switch Bar is up. All three are off until set. A change of
// any of them posts displayOptionsDidChangeNotification on NotificationCenter::workspace().

#include "runtime/notification_center.h"
#include "runtime/world.h"

namespace quillmar::platform {

class AccessibilityDisplayOptions {
public:
    // The process's options (a fresh world starts with all flags off).
    static AccessibilityDisplayOptions& shared() { return runtime::World::shared<AccessibilityDisplayOptions>(); }

    static constexpr const char* displayOptionsDidChangeNotification = "WorkspaceAccessibilityDisplayOptionsDidChange";

    bool shouldReduceMotion() const { return reduceMotion_; }
    bool shouldReduceTransparency() const { return reduceTransparency_; }
    bool shouldIncreaseContrast() const { return increaseContrast_; }

    void setReduceMotion(bool on) { set(reduceMotion_, on); }
    void setReduceTransparency(bool on) { set(reduceTransparency_, on); }
    void setIncreaseContrast(bool on) { set(increaseContrast_, on); }

private:
    void set(bool& flag, bool on) {
        if (flag == on) return;
        flag = on;
        runtime::NotificationCenter::workspace().post(displayOptionsDidChangeNotification);
    }

    bool reduceMotion_ = false;
    bool reduceTransparency_ = false;
    bool increaseContrast_ = false;
};

}  // namespace quillmar::platform
