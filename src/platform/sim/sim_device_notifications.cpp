#include "platform/sim/sim_device_notifications.h"

#include <algorithm>
#include <memory>

#include "runtime/main_loop.h"
#include "runtime/world.h"

namespace quillmar::platform::sim {

SimDeviceNotifications& SimDeviceNotifications::install() {
    auto registry = std::make_unique<SimDeviceNotifications>();
    auto& installed = *registry;
    runtime::World::install<DeviceNotifications>(std::move(registry));
    return installed;
}

bool SimDeviceNotifications::createNotificationPort() {
    if (!port_) port_ = portAvailable_;
    return *port_;
}

IOIterator SimDeviceNotifications::addMatchingNotification(DeviceMatchEvent event, const std::string& className,
                                                           std::function<void(IOIterator)> callback) {
    if (!port_.value_or(false)) return 0;
    Registration r{event, className, std::move(callback), {}};
    if (event == DeviceMatchEvent::matched) {
        for (const auto& [service, s] : services_)
            if (std::find(s.classes.begin(), s.classes.end(), className) != s.classes.end()) r.pending.push_back(service);
    }
    const IOIterator id = nextIterator_++;
    registrations_.emplace(id, std::move(r));
    return id;
}

IOService SimDeviceNotifications::iteratorNext(IOIterator iterator) {
    auto it = registrations_.find(iterator);
    if (it == registrations_.end() || it->second.pending.empty()) return 0;
    const IOService service = it->second.pending.front();
    it->second.pending.pop_front();
    return service;
}

bool SimDeviceNotifications::conformsTo(IOService service, const std::string& className) const {
    auto it = services_.find(service);
    if (it == services_.end()) return false;
    const auto& classes = it->second.classes;
    return std::find(classes.begin(), classes.end(), className) != classes.end();
}

std::optional<RegistryValue> SimDeviceNotifications::registryProperty(IOService service, const std::string& key) const {
    auto it = services_.find(service);
    if (it == services_.end()) return std::nullopt;
    auto p = it->second.properties.find(key);
    if (p == it->second.properties.end()) return std::nullopt;
    return p->second;
}

void SimDeviceNotifications::setProperty(IOService service, const std::string& key, RegistryValue value) {
    auto it = services_.find(service);
    if (it != services_.end()) it->second.properties[key] = std::move(value);
}

void SimDeviceNotifications::publishService(IOService service, std::vector<std::string> classes,
                                            std::map<std::string, RegistryValue> properties) {
    const auto announced = classes;
    services_[service] = Service{std::move(classes), std::move(properties)};
    announce(DeviceMatchEvent::matched, service, announced);
}

void SimDeviceNotifications::terminateService(IOService service) {
    auto it = services_.find(service);
    if (it == services_.end()) return;
    const auto classes = it->second.classes;
    announce(DeviceMatchEvent::terminated, service, classes);
    // The registry entry outlives its termination notice only as long as somebody looks at it.
    services_.erase(it);
}

void SimDeviceNotifications::announce(DeviceMatchEvent event, IOService service, const std::vector<std::string>& classes) {
    for (auto& [id, r] : registrations_) {
        if (r.event != event) continue;
        if (std::find(classes.begin(), classes.end(), r.className) == classes.end()) continue;
        const bool armed = r.pending.empty();
        r.pending.push_back(service);
        if (!armed) continue;  // undrained: the earlier notice still stands
        const IOIterator iterator = id;
        runtime::MainLoop::main().post([this, iterator, weak = std::weak_ptr<bool>(alive_)] {
            if (!weak.lock()) return;
            auto found = registrations_.find(iterator);
            if (found == registrations_.end()) return;
            ++deliveries_;
            auto callback = found->second.callback;
            if (callback) callback(iterator);
        });
    }
}

}  // namespace quillmar::platform::sim
