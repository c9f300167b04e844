#pragma once
// The device registry's notifications: a notification port whose source runs on the main loop,
// matching notifications for services of a class as they appear or go away, and the facts the
// registry keeps about a service (the classes it conforms to, its properties).
//
// A matching notification hands over an iterator of the services concerned. The notification is
// armed only while its iterator has been drained: services left in it hold further deliveries
// back, so a new registration is drained once at once.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "platform/multitouch_framework.h"
#include "runtime/world.h"

namespace quillmar::platform {

using IOIterator = std::uint32_t;  // 0: none

enum class DeviceMatchEvent {
    matched,     // "IOServiceMatched": a service of the class appeared
    terminated,  // "IOServiceTerminate": a service of the class went away
};

// A registry property as read: a string, a number or a Boolean.
using RegistryValue = std::variant<std::string, std::int64_t, bool>;

class DeviceNotifications {
public:
    static constexpr const char* multitouchDeviceClass = "AppleMultitouchDevice";

    virtual ~DeviceNotifications() = default;

    // The installed backend, or null when this system offers no device notifications.
    static DeviceNotifications* installed() { return runtime::World::find<DeviceNotifications>(); }

    // Main thread. Creates the notification port and adds its source to the main loop; false
    // when no port could be made. Later calls return the same answer.
    virtual bool createNotificationPort() = 0;
    // Main thread, after the port exists. Asks for notifications about services of className;
    // the callback runs on the main loop with the iterator to drain. Returns the iterator, 0 on
    // failure.
    virtual IOIterator addMatchingNotification(DeviceMatchEvent event, const std::string& className,
                                               std::function<void(IOIterator)> callback) = 0;
    // The next service of an iterator, 0 when it is drained.
    virtual IOService iteratorNext(IOIterator iterator) = 0;

    // Whether the service is an instance of className or of a subclass of it.
    virtual bool conformsTo(IOService service, const std::string& className) const = 0;
    // A property of the service; nullopt when it has none under key.
    virtual std::optional<RegistryValue> registryProperty(IOService service, const std::string& key) const = 0;
};

}  // namespace quillmar::platform
