// The target catalogue: which windows and apps one Switch Bar opening lists, in which order and
// under which labels, from the window server's list and the Accessibility tree.

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_set>

#include "platform/process_info.h"
#include "platform/window_server.h"
#include "platform/workspace.h"
#include "runtime/main_loop.h"
#include "settings/switcher_settings.h"
#include "windows/window_label.h"
#include "windows/window_manager.h"
#include "windows/window_text.h"

namespace quillmar {

namespace {
using platform::Rect;
using platform::RunningApplication;
using platform::WindowInfo;
namespace WindowKey = platform::WindowKey;

constexpr double kOnscreenMinWidth = 160, kOnscreenMinHeight = 120;
constexpr double kOffscreenMinWidth = 220, kOffscreenMinHeight = 160;
constexpr double kAXOnlyMinWidth = 120, kAXOnlyMinHeight = 80;
constexpr double kMinAlpha = 0.05;
constexpr double kMatchTolerance = 24;
constexpr const char* kFinderBundleID = "com.apple.finder";

// The window server may report a negative size; these read the area the rectangle spans.
double area(const Rect& r) {
    const Rect s = r.standardized();
    return s.width * s.height;
}

bool passesFloor(const Rect& r, double minWidth, double minHeight) {
    const Rect s = r.standardized();
    return s.width >= minWidth && s.height >= minHeight;
}

// The window server's stand-in for a window on another Space: 500 by 500 at x = 0.
bool isPlaceholder(const Rect& r) {
    const Rect s = r.standardized();
    return r.x == 0 && s.width == 500 && s.height == 500;
}

std::vector<WindowInfo> readWindowList() {
    auto list = platform::WindowServer::shared().windowList(platform::WindowListOption::excludeDesktopElements);
    return list ? std::move(*list) : std::vector<WindowInfo>{};
}

bool alphaTooLow(const WindowInfo& w) {
    auto alpha = w.number(WindowKey::alpha);
    return alpha && *alpha < kMinAlpha;
}

std::string windowEntryName(const RunningApplication& app) { return app.localizedName.value_or("App"); }
std::string appEntryName(const RunningApplication& app) { return app.localizedName.value_or("Application"); }

std::string pidText(std::int32_t pid) { return std::to_string(pid); }

// The entry that stands for a whole app rather than one of its windows.
SwitchTarget appEntry(const RunningApplication& app, platform::AppIconRef icon, bool parked, bool open) {
    const std::string name = appEntryName(app);
    return SwitchTarget(SwitchTarget::Fields{.id = "app-" + pidText(app.processIdentifier),
                                             .pid = app.processIdentifier,
                                             .bundleIdentifier = app.bundleIdentifier,
                                             .appName = name,
                                             .windowTitle = name,
                                             .cleanedWindowTitle = name,
                                             .displayLabel = name,
                                             .appIcon = std::move(icon),
                                             .isAppOnly = true,
                                             .isMinimizedOrHidden = parked,
                                             .hasOpenWindow = open});
}

}  // namespace

const RunningApplication* WindowManager::AppSet::find(std::int32_t pid) const {
    auto it = indexByPID.find(pid);
    return it == indexByPID.end() ? nullptr : &apps[it->second];
}

bool WindowManager::qualifies(const RunningApplication& app, std::int32_t ownPid) const {
    return app.activationPolicy == platform::ActivationPolicy::regular && !app.isTerminated &&
           app.processIdentifier != ownPid;
}

std::vector<const RunningApplication*> WindowManager::inMRUOrder(const std::vector<RunningApplication>& apps,
                                                                 const MRURank& rank) {
    // A stable counting sort: ranks are indexes into the MRU list, and the apps absent from it
    // form one last bucket.
    constexpr std::size_t kAbsent = std::numeric_limits<std::size_t>::max();
    std::vector<std::size_t> rankOf(apps.size(), kAbsent);
    std::size_t last = 0;  // the bucket of the absent apps
    for (std::size_t i = 0; i < apps.size(); ++i) {
        if (auto it = rank.find(apps[i].processIdentifier); it != rank.end()) {
            rankOf[i] = it->second;
            last = std::max(last, it->second + 1);
        }
    }
    auto bucket = [&](std::size_t i) { return rankOf[i] == kAbsent ? last : rankOf[i]; };
    std::vector<std::size_t> start(last + 2, 0);
    for (std::size_t i = 0; i < apps.size(); ++i) ++start[bucket(i) + 1];
    for (std::size_t b = 1; b < start.size(); ++b) start[b] += start[b - 1];
    std::vector<const RunningApplication*> out(apps.size());
    for (std::size_t i = 0; i < apps.size(); ++i) out[start[bucket(i)]++] = &apps[i];
    return out;
}

// ---- fetchTargets ---------------------------------------------------------------------------------

std::vector<SwitchTarget> WindowManager::fetchTargets(SwitcherMode mode) {
    const std::int32_t ownPid = platform::ProcessInfo::shared().processIdentifier();
    auto& workspace = platform::Workspace::shared();

    if (auto front = workspace.frontmostApplication(); front && qualifies(*front, ownPid)) {
        if (mruAppPIDs_.empty() || mruAppPIDs_.front() != front->processIdentifier)
            moveToFrontOfMRU(front->processIdentifier);
    }

    AppSet apps;
    for (auto& app : workspace.runningApplications()) {
        if (!qualifies(app, ownPid)) continue;
        // The platform lists each process once; should it not, the first listing counts.
        if (apps.indexByPID.count(app.processIdentifier)) continue;
        apps.indexByPID[app.processIdentifier] = apps.apps.size();
        apps.apps.push_back(std::move(app));
    }
    MRURank rank;
    for (std::size_t i = 0; i < mruAppPIDs_.size(); ++i) rank.emplace(mruAppPIDs_[i], i);

    const double deadline = runtime::mediaTime() + kCatalogueBudget;

    std::vector<SwitchTarget> targets;
    switch (mode) {
        case SwitcherMode::allWindows:
            targets = buildWindowTargets(apps, rank, true, deadline);
            break;
        case SwitcherMode::appsOnly:
            targets = buildAppTargets(apps.apps, rank, deadline);
            break;
        case SwitcherMode::activeAppWindows: {
            auto pid = effectiveFrontmostRegularPID();
            const RunningApplication* front = pid ? apps.find(*pid) : nullptr;
            if (!front) {
                targets = buildWindowTargets(apps, rank, false, deadline);
                break;
            }
            AppSet only;
            only.apps.push_back(*front);
            only.indexByPID[front->processIdentifier] = 0;
            targets = buildWindowTargets(only, rank, false, deadline);
            // An app with nothing listable would leave the bar empty: show every app's windows.
            if (targets.empty()) targets = buildWindowTargets(apps, rank, false, deadline);
            break;
        }
    }
    keepLabelsOf(targets);
    return regroupAndLabel(std::move(targets));
}

std::string WindowManager::windowLabel(const std::string& id, const std::string& title, const std::string& appName) {
    auto [it, added] = keptLabels_.try_emplace(id);
    KeptLabel& kept = it->second;
    if (added || kept.title != title || kept.appName != appName) {
        kept.label = quillmar::cleanWindowLabel(title, appName);
        kept.title = title;
        kept.appName = appName;
        ++labelsWorkedOut_;
    }
    return kept.label;
}

void WindowManager::keepLabelsOf(const std::vector<SwitchTarget>& targets) {
    std::unordered_map<std::string, KeptLabel> listed;
    for (const auto& t : targets) {
        if (t.isAppOnly) continue;
        if (auto node = keptLabels_.extract(t.id)) listed.insert(std::move(node));
    }
    keptLabels_ = std::move(listed);
}

std::vector<SwitchTarget> WindowManager::regroupAndLabel(std::vector<SwitchTarget> targets) {
    // Three groups, each in the order the passes produced it.
    auto group = [](const SwitchTarget& t) { return t.isMinimizedOrHidden ? 2 : t.hasOpenWindow ? 0 : 1; };
    std::vector<SwitchTarget> ordered;
    ordered.reserve(targets.size());
    for (int g = 0; g < 3; ++g)
        for (auto& t : targets)
            if (group(t) == g) ordered.push_back(std::move(t));

    std::unordered_map<std::int32_t, int> countByPID;
    for (const auto& t : ordered) ++countByPID[t.pid];
    for (auto& t : ordered) {
        const bool several = countByPID[t.pid] >= 2 && !t.isAppOnly;
        t.displayLabel = several ? t.cleanedWindowTitle : t.appName;
    }
    return ordered;
}

std::optional<std::int32_t> WindowManager::effectiveFrontmostRegularPID() const {
    const std::int32_t ownPid = platform::ProcessInfo::shared().processIdentifier();
    if (auto front = platform::Workspace::shared().frontmostApplication(); front && qualifies(*front, ownPid))
        return front->processIdentifier;
    if (mruAppPIDs_.empty()) return std::nullopt;
    return mruAppPIDs_.front();
}

// ---- App pass -------------------------------------------------------------------------------------

std::vector<SwitchTarget> WindowManager::buildAppTargets(const std::vector<RunningApplication>& apps, const MRURank& rank,
                                                         double deadline) {
    const bool trusted = platform::AccessibilityApi::shared().isProcessTrusted();
    std::unordered_set<std::int32_t> onscreenPIDs, offscreenPIDs;
    for (const WindowInfo& w : readWindowList()) {
        auto pid = w.int32(WindowKey::ownerPID);
        if (!pid || w.integer(WindowKey::layer) != 0) continue;
        auto bounds = w.bounds();
        if (!bounds || alphaTooLow(w)) continue;
        if (w.boolean(WindowKey::isOnscreen) == true) {
            if (passesFloor(*bounds, kOnscreenMinWidth, kOnscreenMinHeight)) onscreenPIDs.insert(*pid);
        } else if (passesFloor(*bounds, kOffscreenMinWidth, kOffscreenMinHeight) && !isPlaceholder(*bounds)) {
            offscreenPIDs.insert(*pid);
        }
    }

    const bool currentSpaceOnly = SwitcherSettings::shared().currentSpaceOnly.get();
    std::vector<SwitchTarget> out;
    for (const RunningApplication* ranked : inMRUOrder(apps, rank)) {
        const RunningApplication& app = *ranked;
        const std::int32_t pid = app.processIdentifier;
        bool parked = false;
        bool open = true;
        if (app.isHidden) {
            parked = true;
            open = false;
        } else if (onscreenPIDs.count(pid)) {
            open = true;
        } else if (offscreenPIDs.count(pid)) {
            bool allMinimized = false;
            if (trusted && runtime::mediaTime() < deadline) {
                const AXWindowsAnswer answer = parseAXWindows(pid, deadline);
                allMinimized = !answer.windows.empty() &&
                               std::all_of(answer.windows.begin(), answer.windows.end(),
                                           [](const ParsedAXWindow& w) { return w.isMinimized; });
            }
            parked = allMinimized;
            open = allMinimized ? false : !currentSpaceOnly;
        } else {
            open = app.bundleIdentifier != std::optional<std::string>(kFinderBundleID);
        }
        out.push_back(appEntry(app, appIcon(app), parked, open));
    }
    return out;
}

// ---- Window pass ----------------------------------------------------------------------------------

const AXWindowsAnswer& WindowManager::cachedAXWindows(std::int32_t pid, AXWindowsByPID& map, bool allowFetch,
                                                     double deadline) {
    if (auto it = map.find(pid); it != map.end()) return it->second;
    AXWindowsAnswer answer;
    if (allowFetch && runtime::mediaTime() < deadline) answer = parseAXWindows(pid, deadline);
    return map.emplace(pid, std::move(answer)).first->second;
}

const ParsedAXWindow* WindowManager::matchAXToCGWindow(std::uint32_t windowNumber,
                                                       const std::vector<ParsedAXWindow>& windows, const Rect& bounds,
                                                       const AXWindowNumbers* numbers) {
    if (windows.empty()) return nullptr;
    auto sameFrame = [&](const ParsedAXWindow& w) {
        const double origin = std::hypot(w.position.x - bounds.x, w.position.y - bounds.y);
        const double size = std::hypot(w.size.width - bounds.width, w.size.height - bounds.height);
        return origin < kMatchTolerance && size < kMatchTolerance;
    };
    const bool withNumbers = hasWindowNumberCall();
    if (withNumbers && numbers) {
        if (auto it = numbers->first.find(windowNumber); it != numbers->first.end()) return it->second;
        for (const ParsedAXWindow* w : numbers->unnumbered)
            if (sameFrame(*w)) return w;
        return nullptr;
    }
    if (withNumbers) {
        for (const auto& w : windows)
            if (w.windowID == windowNumber) return &w;
    }
    for (const auto& w : windows) {
        if (withNumbers && w.windowID != 0) continue;
        if (sameFrame(w)) return &w;
    }
    return nullptr;
}

std::string WindowManager::offscreenWindowTitle(const OffscreenCGWindowCandidate& c, const ParsedAXWindow* match,
                                                const std::string& appName) {
    if (!c.title.empty()) return c.title;
    if (match && !match->title.empty()) return match->title;
    return appName;
}

platform::AppIconRef WindowManager::appIcon(const RunningApplication& app) { return iconCache_.icon(app); }

// One call of the window pass: what its steps have listed so far and the Accessibility answers
// they have read (each app's at most once).
struct WindowManager::WindowPass {
    WindowPass(WindowManager& manager, const AppSet& apps, const MRURank& rank, double deadline)
        : manager(manager),
          apps(apps),
          deadline(deadline),
          trusted(platform::AccessibilityApi::shared().isProcessTrusted()),
          currentSpaceOnly(SwitcherSettings::shared().currentSpaceOnly.get()),
          byMRU(inMRUOrder(apps.apps, rank)) {}

    WindowManager& manager;
    const AppSet& apps;
    const double deadline;
    const bool trusted;
    const bool currentSpaceOnly;
    const std::vector<const RunningApplication*> byMRU;

    std::unordered_set<std::uint32_t> seenWindowIDs;
    std::unordered_set<std::size_t> usedAXHashes;
    std::unordered_set<std::int32_t> pidsWithTarget;
    std::unordered_set<std::uint32_t> offscreenWindowIDs;
    std::unordered_set<std::int32_t> pidsWithQualifyingWindow;
    std::unordered_map<std::int32_t, std::vector<OffscreenCGWindowCandidate>> offscreenCandidatesByPID;
    std::unordered_map<std::int32_t, std::size_t> firstOnscreenEntry;  // index in `out` of each app's first
    AXWindowsByPID axWindowsByPID;
    std::unordered_map<std::int32_t, AXWindowNumbers> axNumbersByPID;
    std::vector<SwitchTarget> out;

    const AXWindowsAnswer& axWindows(std::int32_t pid, bool allowFetch) {
        return manager.cachedAXWindows(pid, axWindowsByPID, allowFetch, deadline);
    }

    // The app's windows by number, once it has more than a few: matching each of an app's records
    // by walking all its windows would grow with the square of their number.
    const AXWindowNumbers* numbersOf(std::int32_t pid, const AXWindowsAnswer& ax) {
        constexpr std::size_t kWalkedUpTo = 16;
        if (ax.windows.size() <= kWalkedUpTo) return nullptr;
        auto [it, added] = axNumbersByPID.try_emplace(pid);
        if (added) {
            for (const ParsedAXWindow& w : ax.windows) {
                it->second.first.emplace(w.windowID, &w);
                if (w.windowID == 0) it->second.unnumbered.push_back(&w);
            }
        }
        return &it->second;
    }

    SwitchTarget windowEntry(const RunningApplication& app, std::string id, std::optional<std::uint32_t> number,
                             std::string title, const Rect& bounds, std::optional<platform::AXElement> element,
                             bool parked) {
        const std::string name = windowEntryName(app);
        std::string label = manager.windowLabel(id, title, name);
        return SwitchTarget(SwitchTarget::Fields{.id = std::move(id),
                                                 .pid = app.processIdentifier,
                                                 .bundleIdentifier = app.bundleIdentifier,
                                                 .windowID = number,
                                                 .appName = name,
                                                 .windowTitle = std::move(title),
                                                 .cleanedWindowTitle = std::move(label),
                                                 .displayLabel = name,
                                                 .appIcon = manager.appIcon(app),
                                                 .bounds = bounds,
                                                 .axWindow = std::move(element),
                                                 .isAppOnly = false,
                                                 .isMinimizedOrHidden = parked,
                                                 .hasOpenWindow = !parked});
    }

    // Lists an entry; its window, its Accessibility record (when matched) and its app count as
    // taken for the steps after.
    void list(SwitchTarget entry, const ParsedAXWindow* record) {
        if (entry.windowID) seenWindowIDs.insert(*entry.windowID);
        if (record) usedAXHashes.insert(record->hash);
        pidsWithTarget.insert(entry.pid);
        out.push_back(std::move(entry));
    }

    // 1. Windows of the window server's list, in its order: on-screen ones become entries at once,
    //    off-screen ones are kept as candidates.
    void listServerWindows() {
        for (const WindowInfo& w : readWindowList()) {
            auto pid = w.int32(WindowKey::ownerPID);
            if (!pid) continue;
            const RunningApplication* app = apps.find(*pid);
            if (!app || w.integer(WindowKey::layer) != 0) continue;
            auto number = w.uint32(WindowKey::number);
            if (!number || alphaTooLow(w)) continue;
            const Rect bounds = w.bounds().value_or(Rect{});
            std::string title = trimWhitespaceAndNewlines(w.string(WindowKey::name).value_or(""));
            if (w.boolean(WindowKey::isOnscreen) == true) {
                listOnscreenWindow(*app, *number, bounds, std::move(title));
            } else if (passesFloor(bounds, kOffscreenMinWidth, kOffscreenMinHeight) && !isPlaceholder(bounds)) {
                offscreenWindowIDs.insert(*number);
                offscreenCandidatesByPID[*pid].push_back({*number, bounds, std::move(title)});
                pidsWithQualifyingWindow.insert(*pid);
            }
        }
    }

    void listOnscreenWindow(const RunningApplication& app, std::uint32_t number, const Rect& bounds, std::string title) {
        const std::int32_t pid = app.processIdentifier;
        if (seenWindowIDs.count(number) || !passesFloor(bounds, kOnscreenMinWidth, kOnscreenMinHeight)) return;
        pidsWithQualifyingWindow.insert(pid);
        const AXWindowsAnswer& ax = axWindows(pid, trusted);
        const ParsedAXWindow* match = manager.matchAXToCGWindow(number, ax.windows, bounds, numbersOf(pid, ax));
        if (trusted) {
            // The app answered with windows, none of them this one: not a real window.
            if (ax.answered && !ax.windows.empty() && !match) return;
        } else if (pidsWithTarget.count(pid) && title.empty()) {
            keepLargestUntitled(app, number, bounds);
            return;
        }
        if (title.empty() && match) title = match->title;
        if (title.empty()) title = windowEntryName(app);
        firstOnscreenEntry.emplace(pid, out.size());
        list(windowEntry(app, "win-" + std::to_string(number), number, std::move(title), bounds,
                         match ? std::optional(match->element) : std::nullopt, false),
             match);
    }

    // Without Accessibility, untitled extra windows of an app are usually helpers: only the
    // largest one stays, as the app's entry.
    void keepLargestUntitled(const RunningApplication& app, std::uint32_t number, const Rect& bounds) {
        auto first = firstOnscreenEntry.find(app.processIdentifier);
        if (first == firstOnscreenEntry.end() || !(area(bounds) > area(out[first->second].bounds))) return;
        out[first->second] = windowEntry(app, "win-" + std::to_string(number), number, windowEntryName(app), bounds,
                                         std::nullopt, false);
    }

    // 2. Windows that only Accessibility knows of: minimised windows, windows of hidden apps, and
    //    windows on other Spaces.
    void listAccessibilityOnlyWindows() {
        if (!trusted) return;
        for (const RunningApplication* app : byMRU) {
            if (!app->isHidden && !pidsWithQualifyingWindow.count(app->processIdentifier)) continue;
            const AXWindowsAnswer& ax = axWindows(app->processIdentifier, true);
            for (std::size_t i = 0; i < ax.windows.size(); ++i) listAccessibilityOnlyWindow(*app, ax.windows[i], i);
        }
    }

    void listAccessibilityOnlyWindow(const RunningApplication& app, const ParsedAXWindow& w, std::size_t index) {
        if (usedAXHashes.count(w.hash) || (w.windowID != 0 && seenWindowIDs.count(w.windowID))) return;
        // A minimised window or a hidden app's is parked; one on another Space is open, unless the
        // bar lists the current Space only; any other record is not listed.
        const bool parked = w.isMinimized || app.isHidden;
        const bool onOtherSpace = w.windowID != 0 && offscreenWindowIDs.count(w.windowID);
        if (!parked && (currentSpaceOnly || !onOtherSpace)) return;
        if (w.size.width < kAXOnlyMinWidth || w.size.height < kAXOnlyMinHeight) return;
        std::string title = w.title.empty() ? windowEntryName(app) : w.title;
        const auto number = w.windowID != 0 ? std::optional(w.windowID) : std::nullopt;
        std::string id = number ? "win-" + std::to_string(*number)
                                : "axwin-" + pidText(app.processIdentifier) + "-" + std::to_string(index);
        list(windowEntry(app, std::move(id), number, std::move(title), Rect{w.position, w.size}, w.element, parked), &w);
    }

    // 3. Off-screen window-server windows not listed yet, largest first; at most one that
    //    Accessibility cannot confirm per app.
    void listOffscreenWindows() {
        for (const RunningApplication* app : byMRU) {
            auto it = offscreenCandidatesByPID.find(app->processIdentifier);
            if (it != offscreenCandidatesByPID.end()) listOffscreenWindowsOf(*app, it->second);
        }
    }

    void listOffscreenWindowsOf(const RunningApplication& app, const std::vector<OffscreenCGWindowCandidate>& candidates) {
        static const std::vector<ParsedAXWindow> kNoWindows;
        std::vector<OffscreenCGWindowCandidate> remaining;
        for (const auto& c : candidates)
            if (!seenWindowIDs.count(c.windowID)) remaining.push_back(c);
        if (remaining.empty()) return;
        const std::vector<ParsedAXWindow>* records = &kNoWindows;
        const AXWindowNumbers* numbers = nullptr;
        if (trusted) {
            const AXWindowsAnswer& ax = axWindows(app.processIdentifier, true);
            const bool allMinimized = std::all_of(ax.windows.begin(), ax.windows.end(),
                                                  [](const ParsedAXWindow& w) { return w.isMinimized; });
            // The records are the minimised windows themselves, listed by the step before.
            if (ax.answered && !ax.windows.empty() && allMinimized && ax.windows.size() >= candidates.size()) return;
            records = &ax.windows;
            numbers = numbersOf(app.processIdentifier, ax);
        }
        std::stable_sort(remaining.begin(), remaining.end(),
                         [](const auto& a, const auto& b) { return area(a.bounds) > area(b.bounds); });
        for (const auto& c : remaining) {
            const ParsedAXWindow* match = manager.matchAXToCGWindow(c.windowID, *records, c.bounds, numbers);
            if (match && usedAXHashes.count(match->hash)) continue;
            const bool parked = app.isHidden || (match && match->isMinimized);
            if (currentSpaceOnly && !parked) continue;
            list(windowEntry(app, "win-" + std::to_string(c.windowID), c.windowID,
                             offscreenWindowTitle(c, match, windowEntryName(app)), c.bounds,
                             match ? std::optional(match->element) : std::nullopt, parked),
                 match);
            if (!match) break;
        }
    }

    // 4. Apps that got no window entry.
    void listWindowlessApps() {
        for (const RunningApplication* app : byMRU)
            if (!pidsWithTarget.count(app->processIdentifier))
                out.push_back(appEntry(*app, manager.appIcon(*app), app->isHidden, false));
    }
};

std::vector<SwitchTarget> WindowManager::buildWindowTargets(const AppSet& apps, const MRURank& rank, bool includeAppOnly,
                                                            double deadline) {
    WindowPass pass(*this, apps, rank, deadline);
    pass.listServerWindows();
    pass.listAccessibilityOnlyWindows();
    pass.listOffscreenWindows();
    if (includeAppOnly) pass.listWindowlessApps();
    return std::move(pass.out);
}

}  // namespace quillmar
