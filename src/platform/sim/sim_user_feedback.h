#pragma once
// Simulated haptics, alert sound and screen reader: everything played or spoken is recorded.

#include <string>
#include <vector>

#include "platform/accessibility_announcer.h"
#include "platform/haptics.h"

namespace quillmar::platform::sim {

class SimHaptics final : public Haptics {
public:
    static SimHaptics& install();
    void perform(HapticPattern pattern) override { patterns_.push_back(pattern); }
    void beep() override { ++beeps_; }
    const std::vector<HapticPattern>& patterns() const { return patterns_; }
    int count(HapticPattern p) const;
    int beeps() const { return beeps_; }

private:
    std::vector<HapticPattern> patterns_;
    int beeps_ = 0;
};

class SimAccessibilityAnnouncer final : public AccessibilityAnnouncer {
public:
    struct Announcement {
        std::string text;
        AnnouncementPriority priority;
        std::string source;
    };
    static SimAccessibilityAnnouncer& install();
    bool isVoiceOverEnabled() const override { return voiceOver_; }
    void setVoiceOverEnabled(bool on) { voiceOver_ = on; }
    void postAnnouncement(const std::string& text, AnnouncementPriority priority, const std::string& source) override {
        announcements_.push_back({text, priority, source});
    }
    const std::vector<Announcement>& announcements() const { return announcements_; }

private:
    bool voiceOver_ = true;
    std::vector<Announcement> announcements_;
};

}  // namespace quillmar::platform::sim
