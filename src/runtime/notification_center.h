#pragma once
// Named notifications with a payload, delivered synchronously on the posting thread to the
// observers registered for that name. An observer lives as long as its token.

#include <any>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "runtime/signal.h"

namespace quillmar::runtime {

struct Notification {
    std::string name;
    std::any object;                           // the sender or subject, when there is one
    std::map<std::string, std::any> userInfo;  // extra values by key

    template <class T>
    const T* info(const std::string& key) const {
        auto it = userInfo.find(key);
        return it == userInfo.end() ? nullptr : std::any_cast<T>(&it->second);
    }
};

class NotificationCenter {
public:
    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    // The process's three centres: the default one, the workspace's and the distributed one.
    static NotificationCenter& defaultCenter();
    static NotificationCenter& workspace();
    static NotificationCenter& distributed();

    Subscription addObserver(const std::string& name, std::function<void(const Notification&)> fn);
    void post(Notification n) const;
    void post(const std::string& name) const { post(Notification{name, {}, {}}); }

    std::size_t observerCount(const std::string& name) const;

private:
    std::map<std::string, std::unique_ptr<Signal<Notification>>> signals_;
};

}  // namespace quillmar::runtime
