#include "runtime/notification_center.h"

#include "runtime/world.h"

namespace quillmar::runtime {

namespace {
struct Centres {
    NotificationCenter defaultCenter, workspace, distributed;
};
}  // namespace

NotificationCenter& NotificationCenter::defaultCenter() { return World::shared<Centres>().defaultCenter; }
NotificationCenter& NotificationCenter::workspace() { return World::shared<Centres>().workspace; }
NotificationCenter& NotificationCenter::distributed() { return World::shared<Centres>().distributed; }

Subscription NotificationCenter::addObserver(const std::string& name,
                                             std::function<void(const Notification&)> fn) {
    auto& sig = signals_[name];
    if (!sig) sig = std::make_unique<Signal<Notification>>();
    return sig->connect(std::move(fn));
}

void NotificationCenter::post(Notification n) const {
    auto it = signals_.find(n.name);
    if (it != signals_.end()) it->second->emit(n);
}

std::size_t NotificationCenter::observerCount(const std::string& name) const {
    auto it = signals_.find(name);
    return it == signals_.end() ? 0 : it->second->connectionCount();
}

}  // namespace quillmar::runtime
