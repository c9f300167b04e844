#pragma once
// Names of the application object's notifications, posted on the default notification centre
// (runtime::NotificationCenter::defaultCenter()) on the main thread.

namespace quillmar::platform {

// Posted each time the application becomes the active (frontmost) application.
inline constexpr const char kApplicationDidBecomeActiveNotification[] = "NSApplicationDidBecomeActiveNotification";

}  // namespace quillmar::platform
