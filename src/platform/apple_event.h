#pragma once
// The event that carries a request from another process (here: URLs to open), with the
// attributes the system adds about its sender. A handler may read the event that is being
// handled only while it is handled: AppleEventManager::currentEvent() is null at any other time.
//
// Attributes are raw bytes under four-character keywords: "spid" (the sender's process id, a
// 32-bit integer in native byte order) and "tokn" (the sender's audit token, eight 32-bit words,
// the process id at index 5).

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "platform/hot_keys.h"

namespace quillmar::platform {

inline constexpr std::uint32_t kSenderPIDAttribute = fourCharCode("spid");
inline constexpr std::uint32_t kAuditTokenAttribute = fourCharCode("tokn");
inline constexpr std::size_t kAuditTokenSize = 32;

struct AppleEvent {
    std::map<std::uint32_t, std::vector<std::uint8_t>> attributes;

    const std::vector<std::uint8_t>* attribute(std::uint32_t keyword) const {
        auto it = attributes.find(keyword);
        return it == attributes.end() ? nullptr : &it->second;
    }

    // An event as a sender with this pid would send it: the sender-pid attribute and, unless
    // tokenPid is absent, an audit token carrying tokenPid.
    static AppleEvent fromSender(std::optional<std::int32_t> senderPid, std::optional<std::int32_t> tokenPid);
};

class AppleEventManager {
public:
    // The event being handled now, or null.
    static const AppleEvent* currentEvent();

    // Marks an event as being handled for the life of the scope (scopes nest).
    class Handling {
    public:
        explicit Handling(const AppleEvent& event);
        ~Handling();
        Handling(const Handling&) = delete;
        Handling& operator=(const Handling&) = delete;

    private:
        const AppleEvent* previous_;
    };
};

}  // namespace quillmar::platform
