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
    return regroupAndLabel(std::move(targets));
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

std::vector<SwitchTarget> WindowManager::buildWindowTargets(const AppSet& apps, const MRURank& rank, bool includeAppOnly,
                                                            double deadline) {
    const bool trusted = platform::AccessibilityApi::shared().isProcessTrusted();
    const bool currentSpaceOnly = SwitcherSettings::shared().currentSpaceOnly.get();

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

    auto windowEntry = [&](const RunningApplication& app, std::string id, std::optional<std::uint32_t> number,
                           std::string title, const Rect& bounds, std::optional<platform::AXElement> element,
                           bool parked) {
        const std::string name = windowEntryName(app);
        return SwitchTarget(SwitchTarget::Fields{.id = std::move(id),
                                                 .pid = app.processIdentifier,
                                                 .bundleIdentifier = app.bundleIdentifier,
                                                 .windowID = number,
                                                 .appName = name,
                                                 .windowTitle = std::move(title),
                                                 .displayLabel = name,
                                                 .appIcon = appIcon(app),
                                                 .bounds = bounds,
                                                 .axWindow = std::move(element),
                                                 .isAppOnly = false,
                                                 .isMinimizedOrHidden = parked,
                                                 .hasOpenWindow = !parked});
    };

    // The app's windows by number, once it has more than a few: matching each of an app's records
    // by walking all its windows would grow with the square of their number.
    auto numbersOf = [&](std::int32_t pid, const AXWindowsAnswer& ax) -> const AXWindowNumbers* {
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
    };

    // 1. Windows of the window server's list, in its order: on-screen ones become entries at once,
    //    off-screen ones are kept as candidates.
    for (const WindowInfo& w : readWindowList()) {
        auto pid = w.int32(WindowKey::ownerPID);
        if (!pid) continue;
        const RunningApplication* app = apps.find(*pid);
        if (!app || w.integer(WindowKey::layer) != 0) continue;
        auto number = w.uint32(WindowKey::number);
        if (!number || alphaTooLow(w)) continue;
        const Rect bounds = w.bounds().value_or(Rect{});
        const std::string title = trimWhitespaceAndNewlines(w.string(WindowKey::name).value_or(""));

        if (w.boolean(WindowKey::isOnscreen) != true) {
            if (!passesFloor(bounds, kOffscreenMinWidth, kOffscreenMinHeight) || isPlaceholder(bounds)) continue;
            offscreenWindowIDs.insert(*number);
            offscreenCandidatesByPID[*pid].push_back({*number, bounds, title});
            pidsWithQualifyingWindow.insert(*pid);
            continue;
        }

        if (seenWindowIDs.count(*number)) continue;
        if (!passesFloor(bounds, kOnscreenMinWidth, kOnscreenMinHeight)) continue;
        pidsWithQualifyingWindow.insert(*pid);
        const AXWindowsAnswer& ax = cachedAXWindows(*pid, axWindowsByPID, trusted, deadline);
        const ParsedAXWindow* match = matchAXToCGWindow(*number, ax.windows, bounds, numbersOf(*pid, ax));
        if (trusted) {
            // The app answered with windows, none of them this one: not a real window.
            if (ax.answered && !ax.windows.empty() && !match) continue;
        } else if (pidsWithTarget.count(*pid) && title.empty()) {
            // Without Accessibility, untitled extra windows of an app are usually helpers: keep
            // only the largest one as the app's entry.
            auto first = firstOnscreenEntry.find(*pid);
            if (first != firstOnscreenEntry.end() && area(bounds) > area(out[first->second].bounds))
                out[first->second] = windowEntry(*app, "win-" + std::to_string(*number), *number,
                                                 windowEntryName(*app), bounds, std::nullopt, false);
            continue;
        }
        std::string entryTitle = title;
        if (entryTitle.empty() && match) entryTitle = match->title;
        if (entryTitle.empty()) entryTitle = windowEntryName(*app);
        seenWindowIDs.insert(*number);
        if (match) usedAXHashes.insert(match->hash);
        pidsWithTarget.insert(*pid);
        firstOnscreenEntry.emplace(*pid, out.size());
        out.push_back(windowEntry(*app, "win-" + std::to_string(*number), *number, std::move(entryTitle), bounds,
                                  match ? std::optional(match->element) : std::nullopt, false));
    }

    const std::vector<const RunningApplication*> byMRU = inMRUOrder(apps.apps, rank);

    // 2. Windows that only Accessibility knows of: minimised windows, windows of hidden apps, and
    //    windows on other Spaces.
    if (trusted) {
        for (const RunningApplication* ranked : byMRU) {
            const RunningApplication& app = *ranked;
            const std::int32_t pid = app.processIdentifier;
            if (!app.isHidden && !pidsWithQualifyingWindow.count(pid)) continue;
            const AXWindowsAnswer& ax = cachedAXWindows(pid, axWindowsByPID, true, deadline);
            for (std::size_t i = 0; i < ax.windows.size(); ++i) {
                const ParsedAXWindow& w = ax.windows[i];
                if (usedAXHashes.count(w.hash) || (w.windowID != 0 && seenWindowIDs.count(w.windowID))) continue;
                bool parked;
                if (w.isMinimized || app.isHidden) {
                    parked = true;
                } else if (currentSpaceOnly) {
                    continue;
                } else if (w.windowID != 0 && offscreenWindowIDs.count(w.windowID)) {
                    parked = false;
                } else {
                    continue;
                }
                if (w.size.width < kAXOnlyMinWidth || w.size.height < kAXOnlyMinHeight) continue;
                std::string title = w.title.empty() ? windowEntryName(app) : w.title;
                std::string id;
                if (w.windowID != 0) {
                    seenWindowIDs.insert(w.windowID);
                    id = "win-" + std::to_string(w.windowID);
                } else {
                    id = "axwin-" + pidText(pid) + "-" + std::to_string(i);
                }
                usedAXHashes.insert(w.hash);
                pidsWithTarget.insert(pid);
                out.push_back(windowEntry(app, std::move(id), w.windowID != 0 ? std::optional(w.windowID) : std::nullopt,
                                          std::move(title), Rect{w.position, w.size}, w.element, parked));
            }
        }
    }

    // 3. Off-screen window-server windows not listed yet, largest first; at most one that
    //    Accessibility cannot confirm per app.
    static const std::vector<ParsedAXWindow> kNoWindows;
    for (const RunningApplication* ranked : byMRU) {
        const RunningApplication& app = *ranked;
        const std::int32_t pid = app.processIdentifier;
        auto it = offscreenCandidatesByPID.find(pid);
        if (it == offscreenCandidatesByPID.end()) continue;
        std::vector<OffscreenCGWindowCandidate> remaining;
        for (const auto& c : it->second)
            if (!seenWindowIDs.count(c.windowID)) remaining.push_back(c);
        if (remaining.empty()) continue;
        const std::vector<ParsedAXWindow>* axWindows = &kNoWindows;
        const AXWindowNumbers* numbers = nullptr;
        if (trusted) {
            const AXWindowsAnswer& ax = cachedAXWindows(pid, axWindowsByPID, true, deadline);
            const bool allMinimized = std::all_of(ax.windows.begin(), ax.windows.end(),
                                                  [](const ParsedAXWindow& w) { return w.isMinimized; });
            // The records are the minimised windows themselves, listed by the pass before.
            if (ax.answered && !ax.windows.empty() && allMinimized && ax.windows.size() >= it->second.size()) continue;
            axWindows = &ax.windows;
            numbers = numbersOf(pid, ax);
        }
        std::stable_sort(remaining.begin(), remaining.end(),
                         [](const auto& a, const auto& b) { return area(a.bounds) > area(b.bounds); });
        for (const auto& c : remaining) {
            const ParsedAXWindow* match = matchAXToCGWindow(c.windowID, *axWindows, c.bounds, numbers);
            if (match && usedAXHashes.count(match->hash)) continue;
            const bool parked = app.isHidden || (match && match->isMinimized);
            if (currentSpaceOnly && !parked) continue;
            seenWindowIDs.insert(c.windowID);
            if (match) usedAXHashes.insert(match->hash);
            pidsWithTarget.insert(pid);
            out.push_back(windowEntry(app, "win-" + std::to_string(c.windowID), c.windowID,
                                      offscreenWindowTitle(c, match, windowEntryName(app)), c.bounds,
                                      match ? std::optional(match->element) : std::nullopt, parked));
            if (!match) break;
        }
    }

    // 4. Apps that got no window entry.
    if (includeAppOnly) {
        for (const RunningApplication* ranked : byMRU) {
            const RunningApplication& app = *ranked;
            const std::int32_t pid = app.processIdentifier;
            if (pidsWithTarget.count(pid)) continue;
            out.push_back(appEntry(app, appIcon(app), app.isHidden, false));
        }
    }
    return out;
}

}  // namespace quillmar
