#pragma once
// The simulated device registry: services with the classes they conform to and their
// properties, and matching notifications delivered on the main loop. A notification's iterator
// holds the services concerned; the notification fires again only once its iterator has been
// drained, as the registry does. A matched notification's iterator starts with the services
// that exist already.

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/device_notifications.h"

namespace quillmar::platform::sim {

class SimDeviceNotifications final : public DeviceNotifications {
public:
    static SimDeviceNotifications& install();

    bool createNotificationPort() override;
    IOIterator addMatchingNotification(DeviceMatchEvent event, const std::string& className,
                                       std::function<void(IOIterator)> callback) override;
    IOService iteratorNext(IOIterator iterator) override;
    bool conformsTo(IOService service, const std::string& className) const override;
    std::optional<RegistryValue> registryProperty(IOService service, const std::string& key) const override;

    // The port cannot be made while set (before the first createNotificationPort()).
    void setPortAvailable(bool available) { portAvailable_ = available; }

    // A service appears or goes away; matching notifications are posted on the main loop.
    void publishService(IOService service, std::vector<std::string> classes, std::map<std::string, RegistryValue> properties);
    void terminateService(IOService service);
    void setProperty(IOService service, const std::string& key, RegistryValue value);

    // Notifications delivered so far.
    int deliveries() const { return deliveries_; }

private:
    struct Service {
        std::vector<std::string> classes;
        std::map<std::string, RegistryValue> properties;
    };
    struct Registration {
        DeviceMatchEvent event;
        std::string className;
        std::function<void(IOIterator)> callback;
        std::deque<IOService> pending;
    };
    void announce(DeviceMatchEvent event, IOService service, const std::vector<std::string>& classes);

    bool portAvailable_ = true;
    std::optional<bool> port_;
    std::map<IOService, Service> services_;
    std::map<IOIterator, Registration> registrations_;
    IOIterator nextIterator_ = 1;
    int deliveries_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quillmar::platform::sim
