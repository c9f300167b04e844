#pragma once
// Simulated hot keys: registrations are kept in memory; press() delivers a key press to the
// handler when a registration matches the key and its exact modifiers. Combinations marked as
// taken (by another application) are refused.

#include <map>
#include <set>
#include <utility>

#include "platform/hot_keys.h"

namespace quillmar::platform::sim {

class SimHotKeys final : public HotKeys {
public:
    static SimHotKeys& install();

    void installHandler(std::function<bool(const HotKeyID&)> handler) override { handler_ = std::move(handler); }
    std::optional<HotKeyRef> registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyID id) override;
    void unregisterHotKey(HotKeyRef ref) override { registrations_.erase(ref); }

    // A key press with these modifiers; true when a registration matched and the handler took it.
    bool press(std::uint32_t keyCode, std::uint32_t modifiers);
    void markTaken(std::uint32_t keyCode, std::uint32_t modifiers) { taken_.insert({keyCode, modifiers}); }
    bool hasHandler() const { return static_cast<bool>(handler_); }
    std::size_t registrationCount() const { return registrations_.size(); }
    bool isRegistered(std::uint32_t keyCode, std::uint32_t modifiers) const;

private:
    struct Registration {
        std::uint32_t keyCode, modifiers;
        HotKeyID id;
    };
    std::function<bool(const HotKeyID&)> handler_;
    std::map<HotKeyRef, Registration> registrations_;
    std::set<std::pair<std::uint32_t, std::uint32_t>> taken_;
    HotKeyRef next_ = 1;
};

}  // namespace quillmar::platform::sim
