// The window manager's life: creation, the MRU order kept from workspace notifications, and the
// binding of the private platform calls.

#include "windows/window_manager.h"

#include <algorithm>

#include "platform/application_notifications.h"
#include "platform/process_info.h"
#include "platform/window_server.h"
#include "platform/workspace.h"
#include "runtime/world.h"
#include "trackpad/trackpad_touch_monitor.h"
#include "windows/window_label.h"

namespace quillmar {

namespace {
// The application a workspace notification is about, when it carries one.
const platform::RunningApplication* notifiedApplication(const runtime::Notification& note) {
    return note.info<platform::RunningApplication>(platform::Workspace::applicationKey);
}
}  // namespace

WindowManager& WindowManager::shared() { return runtime::World::shared<WindowManager>(); }

WindowManager::WindowManager() : isAccessibilityTrusted(platform::AccessibilityApi::shared().isProcessTrusted(), this) {
    // Every element without a timeout of its own waits at most this long for an answer.
    auto& ax = platform::AccessibilityApi::shared();
    ax.setMessagingTimeout(ax.createSystemWide(), 0.1f);

    seedMRU();

    auto& workspace = runtime::NotificationCenter::workspace();
    workspace
        .addObserver(platform::Workspace::didActivateApplicationNotification,
                     [this](const runtime::Notification& n) { appDidActivate(n); })
        .store(observers_);
    workspace
        .addObserver(platform::Workspace::didTerminateApplicationNotification,
                     [this](const runtime::Notification& n) { appDidTerminate(n); })
        .store(observers_);
    runtime::NotificationCenter::distributed()
        .addObserver(platform::kAccessibilityApiChangedNotification,
                     [this](const runtime::Notification& n) { handleAccessibilityChanged(n); })
        .store(observers_);
    runtime::NotificationCenter::defaultCenter()
        .addObserver(platform::kApplicationDidBecomeActiveNotification,
                     [this](const runtime::Notification& n) { handleAppBecameActive(n); })
        .store(observers_);
}

void WindowManager::connectTrackpadMonitor(TrackpadTouchMonitor& monitor) {
    // The gesture engine asks before each gesture whether the system overview is showing.
    monitor.isSystemOverviewActive = [] { return WindowManager::isSystemOverviewActive(); };
}

WindowManager::~WindowManager() {
    lifetime_.end();
    observers_.clear();
}

std::string WindowManager::cleanWindowLabel(std::string_view windowTitle, std::string_view appName) {
    return quillmar::cleanWindowLabel(windowTitle, appName);
}

// ---- MRU order ------------------------------------------------------------------------------------

void WindowManager::seedMRU() {
    auto& workspace = platform::Workspace::shared();
    const std::int32_t ownPid = platform::ProcessInfo::shared().processIdentifier();
    // This program is never one of the apps to switch to, even while its settings window is in
    // front at start-up.
    if (auto front = workspace.frontmostApplication(); front && front->processIdentifier != ownPid)
        mruAppPIDs_.push_back(front->processIdentifier);
    for (const auto& app : workspace.runningApplications()) {
        if (app.activationPolicy != platform::ActivationPolicy::regular || app.processIdentifier == ownPid) continue;
        if (std::find(mruAppPIDs_.begin(), mruAppPIDs_.end(), app.processIdentifier) == mruAppPIDs_.end())
            mruAppPIDs_.push_back(app.processIdentifier);
    }
}

void WindowManager::moveToFrontOfMRU(std::int32_t pid) {
    std::erase(mruAppPIDs_, pid);
    mruAppPIDs_.insert(mruAppPIDs_.begin(), pid);
}

void WindowManager::appDidActivate(const runtime::Notification& note) {
    const auto* app = notifiedApplication(note);
    if (!app) return;
    if (app->processIdentifier == platform::ProcessInfo::shared().processIdentifier()) return;
    moveToFrontOfMRU(app->processIdentifier);
}

void WindowManager::appDidTerminate(const runtime::Notification& note) {
    const auto* app = notifiedApplication(note);
    if (!app) return;
    const std::int32_t pid = app->processIdentifier;
    std::erase(mruAppPIDs_, pid);
    iconCache_.removeProcessEntry(pid);
    unresponsiveUntilByPID_.erase(pid);
}

std::optional<double> WindowManager::unresponsiveUntil(std::int32_t pid) const {
    auto it = unresponsiveUntilByPID_.find(pid);
    if (it == unresponsiveUntilByPID_.end()) return std::nullopt;
    return it->second;
}

// ---- Private calls --------------------------------------------------------------------------------

void WindowManager::bindPrivateCalls() {
    // Each call is looked up once; a missing one stays missing and its steps are skipped.
    std::call_once(privateCallsOnce_, [this] {
        windowNumberCall_ = platform::AccessibilityApi::shared().lookupWindowNumberCall();
        auto& server = platform::WindowServer::shared();
        hasProcessLookup_ = server.hasProcessLookup();
        hasFrontProcessCall_ = server.hasFrontProcessCall();
    });
}

bool WindowManager::hasWindowNumberCall() {
    bindPrivateCalls();
    return static_cast<bool>(windowNumberCall_);
}

}  // namespace quillmar
