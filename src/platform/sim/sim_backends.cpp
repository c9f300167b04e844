#include "platform/sim/sim_backends.h"

#include "platform/sim/sim_desktop.h"

namespace quillmar::platform::sim {

// ---- Workspace -------------------------------------------------------------------------------

std::vector<RunningApplication> SimWorkspace::runningApplications() const { return desktop_.runningApplications(); }

std::optional<RunningApplication> SimWorkspace::frontmostApplication() const {
    auto pid = desktop_.frontmostPid();
    return pid ? desktop_.runningApplication(*pid) : std::nullopt;
}

std::optional<RunningApplication> SimWorkspace::runningApplication(std::int32_t pid) const {
    return desktop_.runningApplication(pid);
}

bool SimWorkspace::activate(std::int32_t pid, std::uint32_t options) { return desktop_.activate(pid, options); }
bool SimWorkspace::hide(std::int32_t pid) { return desktop_.hide(pid); }
bool SimWorkspace::unhide(std::int32_t pid) { return desktop_.unhide(pid); }
bool SimWorkspace::terminate(std::int32_t pid) { return desktop_.terminate(pid); }
bool SimWorkspace::forceTerminate(std::int32_t pid) { return desktop_.forceTerminate(pid); }
void SimWorkspace::yieldActivation(std::int32_t toPid) { desktop_.yieldActivation(toPid); }

bool SimWorkspace::openApplication(const std::string& bundlePath, bool activates) {
    return desktop_.openApplication(bundlePath, activates);
}

std::optional<InfoDictionary> SimWorkspace::infoDictionary(const std::string& bundlePath) const {
    return desktop_.bundleInfo(bundlePath);
}

std::optional<std::string> SimWorkspace::urlForApplication(const std::string& bundleIdentifier) const {
    return desktop_.applicationPath(bundleIdentifier);
}

AppIconRef SimWorkspace::iconForFile(const std::string& path) const {
    for (const SimApp* p : desktop_.processes())
        if (p->isApplication && p->bundlePath == path && p->icon) return p->icon;
    // The generic icon of an application or folder.
    static const AppIconRef generic = AppIcon::roundedSquare(64, 0xff9aa3adu, 0xff6b737cu);
    return generic;
}

// ---- Window server ---------------------------------------------------------------------------

std::optional<std::vector<WindowInfo>> SimWindowServer::windowList(WindowListOption options) const {
    return desktop_.windowList(options);
}

std::optional<std::vector<WindowInfo>> SimWindowServer::windowListOfProcess(WindowListOption options,
                                                                         std::int32_t pid) const {
    // A window listed under another owner than its own is found only by reading the whole list.
    if (desktop_.listsWindowsUnderOtherOwners()) return WindowServer::windowListOfProcess(options, pid);
    return desktop_.windowListOfProcess(options, pid);
}

// The level at which a captured screen is shielded (the largest level below the cursor's).
int SimWindowServer::shieldingWindowLevel() const { return 2147483628; }

bool SimWindowServer::hasProcessLookup() const { return desktop_.isProcessLookupAvailable(); }

int SimWindowServer::getProcessForPID(std::int32_t pid, ProcessSerialNumber* out) const {
    constexpr int procNotFound = -600;
    const SimApp* a = desktop_.app(pid);
    if (!desktop_.isProcessLookupAvailable() || !a || !a->isApplication || pid <= 0) return procNotFound;
    if (out) *out = ProcessSerialNumber{0, static_cast<std::uint32_t>(pid)};
    return 0;
}

bool SimWindowServer::hasFrontProcessCall() const { return desktop_.isFrontProcessCallAvailable(); }

void SimWindowServer::setFrontProcessWithOptions(const ProcessSerialNumber& psn, std::uint32_t windowNumber,
                                                 std::uint32_t options) {
    if (!desktop_.isFrontProcessCallAvailable() || psn.highLongOfPSN != 0) return;
    desktop_.setFrontProcess(static_cast<std::int32_t>(psn.lowLongOfPSN), windowNumber, options);
}

// ---- Screens ---------------------------------------------------------------------------------

std::vector<Screen> SimScreens::screens() const { return desktop_.screens(); }
std::optional<Screen> SimScreens::mainScreen() const { return desktop_.mainScreen(); }
Point SimScreens::mouseLocation() const { return desktop_.pointer(); }

// ---- Processes -------------------------------------------------------------------------------

std::int32_t SimProcessInfo::processIdentifier() const { return desktop_.ownPid(); }

std::optional<std::string> SimProcessInfo::processPath(std::int32_t pid) const {
    const SimApp* a = desktop_.app(pid);
    return a ? a->executablePath : std::nullopt;
}

std::optional<std::int32_t> SimProcessInfo::parentProcessIdentifier(std::int32_t pid) const {
    const SimApp* a = desktop_.app(pid);
    if (!a) return std::nullopt;
    return a->parentPid.value_or(1);
}

}  // namespace quillmar::platform::sim
