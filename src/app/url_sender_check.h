#pragma once
// Whether the process that sent a URL delivery may change Quillmar's state. Trusted are:
// Quillmar itself; a running app on the list of automation tools or of terminals; and the
// system's open and osascript tools when their parent is such an app, or a program under /bin/,
// /usr/bin/, /opt/homebrew/bin/ or /usr/local/bin/ (a shell in a terminal, say). Everything that
// cannot be read (no event, no pid, no path, no parent) counts as untrusted.
//
// The sender's pid comes from the event's audit token when it is exactly 32 bytes and names a pid
// above 0, else from the sender-pid attribute when it is exactly 4 bytes; both are copied out of
// the raw bytes, never read in place.

#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "platform/apple_event.h"

namespace quillmar {

class UrlSenderCheck {
public:
    static const std::set<std::string>& urlSenderAllowList();
    static const std::set<std::string>& terminalSenderAllowList();

    static bool isTrusted(const platform::AppleEvent* event);
    static std::optional<std::int32_t> senderPID(const platform::AppleEvent& event);
    // The executable of a process (the text up to any NUL, invalid UTF-8 repaired), or nullopt.
    static std::optional<std::string> processPath(std::int32_t pid);

private:
    static bool isListed(const std::string& bundleID);
    static std::optional<std::string> bundleIdentifierOfRunningApp(std::int32_t pid);
};

}  // namespace quillmar
