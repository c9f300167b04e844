#pragma once
// Spoken announcements through the screen reader. AccessibilityAnnouncer::installed() is null
// when the system has no screen reader. Main thread only.

#include <string>

#include "runtime/world.h"

namespace quillmar::platform {

enum class AnnouncementPriority { low = 10, medium = 50, high = 90 };

class AccessibilityAnnouncer {
public:
    virtual ~AccessibilityAnnouncer() = default;
    static AccessibilityAnnouncer* installed() { return runtime::World::find<AccessibilityAnnouncer>(); }

    virtual bool isVoiceOverEnabled() const = 0;
    // Asks the screen reader to speak text; source names the element that posts it ("panel",
    // "application").
    virtual void postAnnouncement(const std::string& text, AnnouncementPriority priority, const std::string& source) = 0;
};

}  // namespace quillmar::platform
