#include "app/url_sender_check.h"

#include <cstring>

#include <unicode/unistr.h>

#include "platform/process_info.h"
#include "platform/workspace.h"
#include "runtime/world.h"

namespace quillmar {

namespace {

constexpr std::size_t kAuditTokenPIDWord = 5;
const char* const kAllowedTools[] = {"/usr/bin/open", "/usr/bin/osascript"};
const char* const kAllowedParentDirectories[] = {"/bin/", "/usr/bin/", "/opt/homebrew/bin/", "/usr/local/bin/"};

std::optional<std::int32_t> int32At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    if (offset + sizeof(std::int32_t) > bytes.size()) return std::nullopt;
    std::int32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

}  // namespace

const std::set<std::string>& UrlSenderCheck::urlSenderAllowList() {
    static const std::set<std::string> list = {
        "com.quillmar.macos",       "com.raycast.macos",          "com.runningwithcrayons.Alfred",
        "com.apple.shortcuts",      "com.apple.shortcuts.events", "com.apple.Automator",
        "com.apple.ScriptEditor2",  "com.hegenberg.BetterTouchTool", "com.stairways.keyboardmaestro.engine",
        "org.hammerspoon.Hammerspoon",
    };
    return list;
}

const std::set<std::string>& UrlSenderCheck::terminalSenderAllowList() {
    static const std::set<std::string> list = {
        "com.apple.Terminal",    "com.googlecode.iterm2",  "com.mitchellh.ghostty",
        "dev.warp.Warp-Stable",  "com.github.wez.wezterm", "net.kovidgoyal.kitty",
    };
    return list;
}

bool UrlSenderCheck::isListed(const std::string& bundleID) {
    return urlSenderAllowList().count(bundleID) > 0 || terminalSenderAllowList().count(bundleID) > 0;
}

std::optional<std::string> UrlSenderCheck::bundleIdentifierOfRunningApp(std::int32_t pid) {
    auto* workspace = runtime::World::find<platform::Workspace>();
    if (!workspace) return std::nullopt;
    auto app = workspace->runningApplication(pid);
    if (!app) return std::nullopt;
    return app->bundleIdentifier;
}

std::optional<std::int32_t> UrlSenderCheck::senderPID(const platform::AppleEvent& event) {
    if (const auto* token = event.attribute(platform::kAuditTokenAttribute);
        token && token->size() == platform::kAuditTokenSize) {
        if (auto pid = int32At(*token, kAuditTokenPIDWord * sizeof(std::int32_t)); pid && *pid > 0) return pid;
    }
    if (const auto* spid = event.attribute(platform::kSenderPIDAttribute); spid && spid->size() == sizeof(std::int32_t)) {
        if (auto pid = int32At(*spid, 0); pid && *pid >= 1) return pid;
    }
    return std::nullopt;
}

std::optional<std::string> UrlSenderCheck::processPath(std::int32_t pid) {
    auto* info = runtime::World::find<platform::ProcessInfo>();
    if (!info) return std::nullopt;
    auto raw = info->processPath(pid);
    if (!raw || raw->empty()) return std::nullopt;
    const auto nul = raw->find('\0');
    if (nul == 0) return std::nullopt;
    if (nul != std::string::npos) raw->resize(nul);
    std::string repaired;
    icu::UnicodeString::fromUTF8(*raw).toUTF8String(repaired);
    return repaired;
}

bool UrlSenderCheck::isTrusted(const platform::AppleEvent* event) {
    if (!event) return false;
    const auto pid = senderPID(*event);
    if (!pid) return false;
    auto* info = runtime::World::find<platform::ProcessInfo>();
    if (!info) return false;
    if (*pid == info->processIdentifier()) return true;

    if (auto bundleID = bundleIdentifierOfRunningApp(*pid); bundleID && isListed(*bundleID)) return true;

    const auto path = processPath(*pid);
    if (!path) return false;
    bool isTool = false;
    for (const char* tool : kAllowedTools) isTool = isTool || *path == tool;
    if (!isTool) return false;

    // The tool's parent decides; a tool started directly by the init process is not trusted.
    const auto parent = info->parentProcessIdentifier(*pid);
    if (!parent || *parent < 2) return false;
    if (auto parentBundle = bundleIdentifierOfRunningApp(*parent)) return isListed(*parentBundle);
    const auto parentPath = processPath(*parent);
    if (!parentPath) return false;
    for (const char* dir : kAllowedParentDirectories)
        if (startsWith(*parentPath, dir)) return true;
    return false;
}

}  // namespace quillmar
