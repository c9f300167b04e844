#include "autopause/app_exclusion_monitor.h"

#include <variant>

#include "autopause/game_detection.h"
#include "platform/process_info.h"
#include "platform/workspace.h"
#include "runtime/main_loop.h"
#include "runtime/text_case.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"
#include "trackpad/trackpad_touch_monitor.h"

namespace quillmar {

namespace {

std::optional<platform::RunningApplication> frontmostApplication() {
    auto* workspace = runtime::World::find<platform::Workspace>();
    return workspace ? workspace->frontmostApplication() : std::nullopt;
}

std::int32_t ownProcessIdentifier() {
    auto* info = runtime::World::find<platform::ProcessInfo>();
    return info ? info->processIdentifier() : 0;
}

}  // namespace

AppExclusionMonitor& AppExclusionMonitor::shared() { return runtime::World::shared<AppExclusionMonitor>(); }

AppExclusionMonitor::AppExclusionMonitor()
    : activePauseReason(std::nullopt, this), lastRegularAppName(std::nullopt, this), lastRegularBundleID(std::nullopt, this) {
    // Every later store of the reason tells the gate.
    activePauseReason.onDidSet([this](const std::optional<AutoPauseReason>&) {
        TrackpadTouchMonitor::shared().updateSuppressionGate(activePauseReason->has_value());
    });

    const auto weak = lifetime_.token();
    auto onMain = [this, weak](auto action) {
        return [this, weak, action](const runtime::Notification& n) {
            runtime::MainLoop::main().post([this, weak, action, n] {
                if (weak.alive()) action(this, n);
            });
        };
    };

    // App activation and Space changes.
    auto refresh = [](AppExclusionMonitor* self, const runtime::Notification&) { self->refreshFrontmostState(); };
    auto& workspace = runtime::NotificationCenter::workspace();
    workspace.addObserver(platform::Workspace::didActivateApplicationNotification, onMain(refresh)).store(cancellables_);
    workspace.addObserver(platform::Workspace::activeSpaceDidChangeNotification, onMain(refresh)).store(cancellables_);

    // The two settings, merged; only the merged stream's first value is dropped, so one
    // evaluation runs on the next turn of the main loop after construction.
    auto& settings = SwitcherSettings::shared();
    settings.pauseInGames.publisher()
        .map([](const bool&) { return std::monostate{}; })
        .merge(settings.ignoredBundleIDs.publisher().map([](const std::vector<std::string>&) { return std::monostate{}; }))
        .dropFirst()
        .receiveOnMain()
        .sink([this, weak](const std::monostate&) {
            if (weak.alive()) reevaluatePauseReason();
        })
        .store(cancellables_);

    // Entries keyed by a process id leave with their process.
    auto purge = [](AppExclusionMonitor* self, const runtime::Notification& n) { self->purgeTerminatedAppFromGameCache(n); };
    workspace.addObserver(platform::Workspace::didTerminateApplicationNotification, onMain(purge)).store(cancellables_);

    // The recogniser asks here before a gesture may begin.
    auto& trackpad = TrackpadTouchMonitor::shared();
    trackpad.isPauseActive = [this] { return activePauseReason->has_value(); };
    trackpad.refreshPauseState = [this] { refreshFrontmostState(); };

    refreshFrontmostState();
}

AppExclusionMonitor::~AppExclusionMonitor() {
    if (auto* trackpad = runtime::World::find<TrackpadTouchMonitor>()) {
        trackpad->isPauseActive = nullptr;
        trackpad->refreshPauseState = nullptr;
    }
    cancellables_.clear();
}

void AppExclusionMonitor::refreshFrontmostState() {
    const auto front = frontmostApplication();
    if (front && front->processIdentifier != ownProcessIdentifier() &&
        front->activationPolicy == platform::ActivationPolicy::regular) {
        // Stored every time, so each store publishes.
        lastRegularAppName = front->localizedName;
        lastRegularBundleID = front->bundleIdentifier;
    }
    reevaluatePauseReason();
}

void AppExclusionMonitor::reevaluatePauseReason() {
    std::optional<AutoPauseReason> next;
    const auto front = frontmostApplication();
    if (front && front->processIdentifier != ownProcessIdentifier()) {
        const std::string name = front->localizedName.value_or("App");
        const std::string bundleID = front->bundleIdentifier.value_or("");
        const auto& settings = SwitcherSettings::shared();
        const std::int32_t pid = front->processIdentifier;
        if (!bundleID.empty() && settings.isAppIgnored(bundleID)) {
            next = AutoPauseReason::excludedApp(name, bundleID);
        } else if (settings.pauseInGames) {
            if (isGameApplication(*front, bundleID) || hasShieldingOrCoveringWindow(pid) ||
                (isVirtualizationOrRemoteApp(bundleID) && hasNearFullscreenWindow(pid)))
                next = AutoPauseReason::gameActive(name);
        }
    }
    // An unchanged outcome stores nothing: nothing publishes and the gate is left alone.
    if (next != activePauseReason.get()) activePauseReason = next;
}

std::string AppExclusionMonitor::gameCacheKey(const platform::RunningApplication& app, const std::string& bundleID) {
    if (!bundleID.empty()) return bundleID;
    if (app.executablePath && !app.executablePath->empty()) return *app.executablePath;
    return "pid:" + std::to_string(app.processIdentifier);
}

bool AppExclusionMonitor::isGameApplication(const platform::RunningApplication& app, const std::string& bundleID) {
    const std::string key = gameCacheKey(app, bundleID);
    if (auto it = gameBundleCache_.find(key); it != gameBundleCache_.end()) return it->second;

    bool answer = false;
    if (!bundleID.empty() && hasGameBundlePrefix(bundleID)) {
        answer = true;
    } else {
        const std::string path = app.bundlePath.value_or(app.executablePath.value_or(""));
        if (runtime::lowercased(path).find("/steamapps/common/") != std::string::npos) {
            answer = true;
        } else if (app.bundlePath) {
            auto* workspace = runtime::World::find<platform::Workspace>();
            if (auto info = workspace ? workspace->infoDictionary(*app.bundlePath) : std::nullopt) {
                auto category = info->find("LSApplicationCategoryType");
                if (category != info->end() && category->second.is_string() &&
                    runtime::lowercased(category->second.get<std::string>()).find("game") != std::string::npos) {
                    answer = true;
                } else if (auto controller = info->find("GCSupportsControllerUserInteraction");
                           controller != info->end() && controller->second.is_boolean()) {
                    answer = controller->second.get<bool>();
                }
            }
        }
    }

    // Bounded by emptying it whole rather than evicting single entries.
    if (gameBundleCache_.size() >= kGameCacheLimit) gameBundleCache_.clear();
    gameBundleCache_[key] = answer;
    return answer;
}

void AppExclusionMonitor::purgeTerminatedAppFromGameCache(const runtime::Notification& n) {
    const auto* app = n.info<platform::RunningApplication>(platform::Workspace::applicationKey);
    if (!app) return;
    gameBundleCache_.erase("pid:" + std::to_string(app->processIdentifier));
}

}  // namespace quillmar
