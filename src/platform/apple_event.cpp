#include "platform/apple_event.h"

#include <cstring>

namespace quillmar::platform {

namespace {
// Events are delivered and handled on the main thread only.
const AppleEvent* gCurrentEvent = nullptr;

std::vector<std::uint8_t> bytesOf(std::int32_t value) {
    std::vector<std::uint8_t> bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}
}  // namespace

AppleEvent AppleEvent::fromSender(std::optional<std::int32_t> senderPid, std::optional<std::int32_t> tokenPid) {
    AppleEvent event;
    if (senderPid) event.attributes[kSenderPIDAttribute] = bytesOf(*senderPid);
    if (tokenPid) {
        std::vector<std::uint8_t> token(kAuditTokenSize, 0);
        std::memcpy(token.data() + 5 * sizeof(std::int32_t), &*tokenPid, sizeof(std::int32_t));
        event.attributes[kAuditTokenAttribute] = std::move(token);
    }
    return event;
}

const AppleEvent* AppleEventManager::currentEvent() { return gCurrentEvent; }

AppleEventManager::Handling::Handling(const AppleEvent& event) : previous_(gCurrentEvent) { gCurrentEvent = &event; }

AppleEventManager::Handling::~Handling() { gCurrentEvent = previous_; }

}  // namespace quillmar::platform
