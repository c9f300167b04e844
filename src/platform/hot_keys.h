#pragma once
// System-wide hot keys: a key with an exact set of modifiers that reaches this application
// whichever application has keyboard focus. Each registration carries an identity (a four-byte
// signature and an id) that the application's one hot-key handler receives when the key is
// pressed. A combination another application holds cannot be registered.
//
// HotKeys::installed() is null when the system offers no hot keys. Main thread only; the handler
// is called on the main loop.

#include <cstdint>
#include <functional>
#include <optional>

#include "runtime/world.h"

namespace quillmar::platform {

// Modifier bits of a hot-key registration, as the system numbers them.
namespace hot_key_modifiers {
inline constexpr std::uint32_t command = 256;
inline constexpr std::uint32_t shift = 512;
inline constexpr std::uint32_t alphaLock = 1024;
inline constexpr std::uint32_t option = 2048;
inline constexpr std::uint32_t control = 4096;
}  // namespace hot_key_modifiers

struct HotKeyID {
    std::uint32_t signature = 0;
    std::uint32_t id = 0;
    friend bool operator==(const HotKeyID&, const HotKeyID&) = default;
};

constexpr std::uint32_t fourCharCode(const char (&s)[5]) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(s[0])) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(s[1])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(s[2])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[3]));
}

using HotKeyRef = std::uint64_t;

class HotKeys {
public:
    virtual ~HotKeys() = default;
    static HotKeys* installed() { return runtime::World::find<HotKeys>(); }

    // Installs the application's handler for hot-key presses (replacing an earlier one). It
    // returns whether it handled the press.
    virtual void installHandler(std::function<bool(const HotKeyID&)> handler) = 0;
    // nullopt when the system refuses the combination.
    virtual std::optional<HotKeyRef> registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyID id) = 0;
    virtual void unregisterHotKey(HotKeyRef ref) = 0;
};

}  // namespace quillmar::platform
