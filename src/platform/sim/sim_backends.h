#pragma once
// The simulated desktop behind the platform interfaces: thin adapters that read from and act on
// one SimDesktop (SimDesktop::install() puts them in place).

#include "platform/process_info.h"
#include "platform/screens.h"
#include "platform/window_server.h"
#include "platform/workspace.h"

namespace quillmar::platform::sim {

class SimDesktop;

class SimWorkspace final : public Workspace {
public:
    explicit SimWorkspace(SimDesktop& desktop) : desktop_(desktop) {}
    std::vector<RunningApplication> runningApplications() const override;
    std::optional<RunningApplication> frontmostApplication() const override;
    std::optional<RunningApplication> runningApplication(std::int32_t pid) const override;
    bool activate(std::int32_t pid, std::uint32_t options) override;
    bool hide(std::int32_t pid) override;
    bool unhide(std::int32_t pid) override;
    bool terminate(std::int32_t pid) override;
    bool forceTerminate(std::int32_t pid) override;
    void yieldActivation(std::int32_t toPid) override;
    bool openApplication(const std::string& bundlePath, bool activates) override;
    std::optional<InfoDictionary> infoDictionary(const std::string& bundlePath) const override;
    AppIconRef iconForFile(const std::string& path) const override;
    std::optional<std::string> urlForApplication(const std::string& bundleIdentifier) const override;

private:
    SimDesktop& desktop_;
};

class SimWindowServer final : public WindowServer {
public:
    explicit SimWindowServer(SimDesktop& desktop) : desktop_(desktop) {}
    std::optional<std::vector<WindowInfo>> windowList(WindowListOption options) const override;
    std::optional<std::vector<WindowInfo>> windowListOfProcess(WindowListOption options, std::int32_t pid) const override;
    int shieldingWindowLevel() const override;
    bool hasProcessLookup() const override;
    int getProcessForPID(std::int32_t pid, ProcessSerialNumber* out) const override;
    bool hasFrontProcessCall() const override;
    void setFrontProcessWithOptions(const ProcessSerialNumber& psn, std::uint32_t windowNumber,
                                    std::uint32_t options) override;

private:
    SimDesktop& desktop_;
};

class SimScreens final : public Screens {
public:
    explicit SimScreens(SimDesktop& desktop) : desktop_(desktop) {}
    std::vector<Screen> screens() const override;
    std::optional<Screen> mainScreen() const override;
    Point mouseLocation() const override;

private:
    SimDesktop& desktop_;
};

class SimProcessInfo final : public ProcessInfo {
public:
    explicit SimProcessInfo(SimDesktop& desktop) : desktop_(desktop) {}
    std::int32_t processIdentifier() const override;
    std::optional<std::string> processPath(std::int32_t pid) const override;
    std::optional<std::int32_t> parentProcessIdentifier(std::int32_t pid) const override;

private:
    SimDesktop& desktop_;
};

}  // namespace quillmar::platform::sim
