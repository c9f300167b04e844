// The classification dump: what the window server and Accessibility say about every app, side by
// side with the targets the catalogue builds from it.

#include <cmath>
#include <cstdio>
#include <map>

#include "platform/process_info.h"
#include "platform/window_server.h"
#include "platform/workspace.h"
#include "runtime/main_loop.h"
#include "windows/window_manager.h"

namespace quillmar {

namespace {
constexpr double kDumpBudget = 2.0;

const char* boolText(bool b) { return b ? "true" : "false"; }

// Lengths and coordinates are truncated toward zero; a value that is not finite prints as 0
// rather than reaching the integer conversion.
std::string coordinate(double v) {
    if (!std::isfinite(v)) return "0";
    constexpr double kLimit = 9.0e18;
    if (v > kLimit) v = kLimit;
    if (v < -kLimit) v = -kLimit;
    return std::to_string(static_cast<long long>(std::trunc(v)));
}

std::string alphaText(double alpha) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", alpha);
    return buffer;
}

std::string_view modeName(SwitcherMode mode) { return rawValue(mode); }
}  // namespace

std::string WindowManager::qaDumpClassification(SwitcherMode mode) {
    std::string out;
    out += "Quillmar target classification dump \u00b7 mode=";
    out += modeName(mode);
    out += " \u00b7 axTrusted=";
    out += boolText(platform::AccessibilityApi::shared().isProcessTrusted());
    out += "\n\n";

    const std::int32_t ownPid = platform::ProcessInfo::shared().processIdentifier();
    std::vector<platform::RunningApplication> apps;
    for (auto& app : platform::Workspace::shared().runningApplications())
        if (qualifies(app, ownPid)) apps.push_back(std::move(app));

    std::map<std::int32_t, std::string> windowLinesByPID;
    if (auto list = platform::WindowServer::shared().windowList(platform::WindowListOption::excludeDesktopElements)) {
        namespace WindowKey = platform::WindowKey;
        for (const auto& w : *list) {
            auto pid = w.int32(WindowKey::ownerPID);
            auto layer = w.integer(WindowKey::layer);
            if (!pid || !layer || *layer != 0) continue;
            const platform::Rect b = w.bounds().value_or(platform::Rect{});
            std::string& lines = windowLinesByPID[*pid];
            lines += "    CG #" + std::to_string(w.uint32(WindowKey::number).value_or(0));
            lines += " onscreen=";
            lines += boolText(w.boolean(WindowKey::isOnscreen).value_or(false));
            lines += " alpha=" + alphaText(w.number(WindowKey::alpha).value_or(1.0));
            lines += " bounds=" + coordinate(b.x) + "," + coordinate(b.y) + " " + coordinate(b.width) + "x" +
                     coordinate(b.height);
            lines += " title=\"" + w.string(WindowKey::name).value_or("") + "\"\n";
        }
    }

    const double deadline = apps.empty() ? 0 : runtime::mediaTime() + kDumpBudget;
    for (const auto& app : apps) {
        const std::int32_t pid = app.processIdentifier;
        out += app.localizedName.value_or("?");
        out += " (pid " + std::to_string(pid) + ") hidden=" + boolText(app.isHidden) + "\n";
        if (auto it = windowLinesByPID.find(pid); it != windowLinesByPID.end()) out += it->second;
        const AXWindowsAnswer ax = parseAXWindows(pid, deadline);
        if (ax.windows.empty()) {
            out += "    AX: (none / failed)\n";
            continue;
        }
        for (const auto& w : ax.windows) {
            out += "    AX wid=" + std::to_string(w.windowID);
            out += " minimized=";
            out += boolText(w.isMinimized);
            out += " std=";
            out += boolText(w.isStandardOrDialog);
            out += " pos=" + coordinate(w.position.x) + "," + coordinate(w.position.y);
            out += " size=" + coordinate(w.size.width) + "x" + coordinate(w.size.height);
            out += " title=\"" + w.title + "\"\n";
        }
    }

    out += "\n=== fetchTargets(";
    out += modeName(mode);
    out += ") ===\n";
    const auto targets = fetchTargets(mode);
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const SwitchTarget& t = targets[i];
        out += std::to_string(i) + ". " + t.appName + " \u00b7 " + t.windowTitle + " \u00b7 wid=";
        out += t.windowID ? std::to_string(*t.windowID) : std::string("-");
        out += " appOnly=";
        out += boolText(t.isAppOnly);
        out += " parked=";
        out += boolText(t.isMinimizedOrHidden);
        out += " hasOpen=";
        out += boolText(t.hasOpenWindow);
        out += " ax=";
        out += boolText(t.axWindow.has_value());
        out += "\n";
    }
    return out;
}

}  // namespace quillmar
