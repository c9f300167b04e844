#include "platform/sim/sim_desktop.h"

#include <algorithm>

#include "platform/process_info.h"
#include "platform/sim/sim_backends.h"
#include "platform/workspace.h"
#include "runtime/main_loop.h"
#include "runtime/notification_center.h"
#include "runtime/wall_clock.h"
#include "runtime/world.h"

namespace quillmar::platform::sim {

namespace {
std::string pidText(std::int32_t pid) { return "pid " + std::to_string(pid); }
std::string windowText(std::uint32_t n) { return "window " + std::to_string(n); }
}  // namespace

SimDesktop::SimDesktop() = default;

SimDesktop& SimDesktop::install() {
    auto& desktop = runtime::World::install<SimDesktop>(std::make_unique<SimDesktop>());
    runtime::World::install<Workspace>(std::make_unique<SimWorkspace>(desktop));
    runtime::World::install<WindowServer>(std::make_unique<SimWindowServer>(desktop));
    runtime::World::install<Screens>(std::make_unique<SimScreens>(desktop));
    runtime::World::install<ProcessInfo>(std::make_unique<SimProcessInfo>(desktop));
    return desktop;
}

SimDesktop& SimDesktop::shared() {
    if (auto* d = runtime::World::find<SimDesktop>()) return *d;
    return install();
}

// ---- Screens ---------------------------------------------------------------------------------

void SimDesktop::setScreens(std::vector<Screen> screens, bool notify) {
    if (screens == screens_) return;
    screens_ = std::move(screens);
    if (notify) {
        runtime::MainLoop::main().post(
            [] { runtime::NotificationCenter::defaultCenter().post(Screens::screenParametersDidChangeNotification); });
    }
    changed.emit();
}

std::optional<Screen> SimDesktop::mainScreen() const {
    if (screens_.empty()) return std::nullopt;
    return screens_[mainScreenIndex_ < screens_.size() ? mainScreenIndex_ : 0];
}

// ---- Scene -----------------------------------------------------------------------------------

SimApp& SimDesktop::addApp(SimApp app) {
    if (app.pid <= 0 || this->app(app.pid) != nullptr) {
        while (this->app(nextPid_) != nullptr) ++nextPid_;
        app.pid = nextPid_++;
    }
    if (!app.launchDate && app.isApplication) app.launchDate = runtime::WallClock::shared().now();
    if (app.isApplication && app.bundlePath && !installed_.count(*app.bundlePath)) {
        Installed inst{app, {}};
        inst.app.pid = 0;
        inst.app.isHidden = false;
        const std::string path = *app.bundlePath;
        installed_[path] = std::move(inst);
    }
    processes_.push_back(std::make_unique<SimApp>(std::move(app)));
    SimApp& added = *processes_.back();
    processByPid_[added.pid] = &added;
    if (added.isApplication && added.activationPolicy != ActivationPolicy::prohibited)
        activationOrder_.push_back(added.pid);
    changed.emit();
    return added;
}

SimApp& SimDesktop::setOwnProcess(SimApp app) {
    if (ownPid_ != 0 && this->app(ownPid_) != nullptr) removeProcess(ownPid_);
    SimApp& own = addApp(std::move(app));
    ownPid_ = own.pid;
    return own;
}

SimWindow& SimDesktop::addWindow(SimWindow w) { return insertWindow(std::move(w), true); }

SimWindow& SimDesktop::insertWindow(SimWindow w, bool recordAsInstalled) {
    if (w.number == 0 || windows_.count(w.number)) {
        while (windows_.count(nextWindowNumber_)) ++nextWindowNumber_;
        w.number = nextWindowNumber_++;
    }
    if (!w.infoOverrides.is_object()) w.infoOverrides = nlohmann::json::object();
    if (const SimApp* owner = app(w.ownerPid); recordAsInstalled && owner && owner->bundlePath) {
        auto it = installed_.find(*owner->bundlePath);
        if (it != installed_.end()) {
            SimWindow tmpl = w;
            tmpl.number = 0;
            tmpl.isMinimized = false;
            it->second.windows.push_back(std::move(tmpl));
        }
    }
    const std::uint32_t n = w.number;
    windows_[n] = std::move(w);
    stack_.push_back(n);
    stackByOwnerValid_ = false;
    changed.emit();
    return windows_[n];
}

void SimDesktop::addInstalledApplication(SimApp app, std::vector<SimWindow> windows) {
    if (!app.bundlePath) return;
    app.pid = 0;
    app.isHidden = false;
    for (auto& w : windows) {
        w.number = 0;
        w.isMinimized = false;
    }
    const std::string path = *app.bundlePath;  // the right side of an assignment runs first
    installed_[path] = Installed{std::move(app), std::move(windows)};
}

void SimDesktop::setStackingOrder(const std::vector<std::uint32_t>& frontToBack) {
    for (auto it = frontToBack.rbegin(); it != frontToBack.rend(); ++it)
        if (windows_.count(*it)) bringToFront(*it);
    changed.emit();
}

void SimDesktop::setFrontmost(std::optional<std::int32_t> pid) {
    frontmost_ = pid;
    if (pid) {
        std::erase(activationOrder_, *pid);
        activationOrder_.insert(activationOrder_.begin(), *pid);
    }
    changed.emit();
}

void SimDesktop::setCurrentSpace(int space, bool notify) {
    if (space == currentSpace_) return;
    logCall("switch to space " + std::to_string(space));
    currentSpace_ = space;
    if (notify) this->notify(Workspace::activeSpaceDidChangeNotification);
    changed.emit();
}

// ---- Reading ---------------------------------------------------------------------------------

std::vector<const SimApp*> SimDesktop::processes() const {
    std::vector<const SimApp*> out;
    out.reserve(processes_.size());
    for (const auto& p : processes_) out.push_back(p.get());
    return out;
}

SimApp* SimDesktop::app(std::int32_t pid) {
    auto it = processByPid_.find(pid);
    return it == processByPid_.end() ? nullptr : it->second;
}

const SimApp* SimDesktop::app(std::int32_t pid) const { return const_cast<SimDesktop*>(this)->app(pid); }

const SimApp* SimDesktop::appWithBundleIdentifier(const std::string& bundleID) const {
    for (const auto& p : processes_)
        if (p->isApplication && p->bundleIdentifier == bundleID) return p.get();
    return nullptr;
}

RunningApplication SimDesktop::snapshot(const SimApp& a) const {
    RunningApplication r;
    r.processIdentifier = a.pid;
    r.bundleIdentifier = a.bundleIdentifier;
    r.localizedName = a.localizedName;
    r.bundlePath = a.bundlePath;
    r.executablePath = a.executablePath;
    r.parentProcessIdentifier = a.parentPid;
    r.icon = a.icon;
    r.activationPolicy = a.activationPolicy;
    r.isHidden = a.isHidden;
    r.isActive = frontmost_ == a.pid;
    r.isTerminated = false;
    r.launchDate = a.launchDate;
    return r;
}

std::optional<InfoDictionary> SimDesktop::bundleInfo(const std::string& bundlePath) const {
    for (const auto& p : processes_)
        if (p->isApplication && p->bundlePath == bundlePath) return p->hasBundle ? std::optional(p->infoPlist) : std::nullopt;
    if (auto it = installed_.find(bundlePath); it != installed_.end() && it->second.app.hasBundle)
        return it->second.app.infoPlist;
    return std::nullopt;
}

std::vector<RunningApplication> SimDesktop::runningApplications() const {
    std::vector<RunningApplication> out;
    for (const auto& p : processes_)
        if (p->isApplication) out.push_back(snapshot(*p));
    return out;
}

std::optional<RunningApplication> SimDesktop::runningApplication(std::int32_t pid) const {
    const SimApp* a = app(pid);
    if (!a || !a->isApplication) return std::nullopt;
    return snapshot(*a);
}

std::vector<const SimWindow*> SimDesktop::windows() const {
    std::vector<const SimWindow*> out;
    out.reserve(stack_.size());
    for (auto n : stack_) out.push_back(&windows_.at(n));
    std::stable_sort(out.begin(), out.end(), [](const SimWindow* a, const SimWindow* b) { return a->layer > b->layer; });
    return out;
}

std::vector<const SimWindow*> SimDesktop::windowsOf(std::int32_t pid) const {
    // The app's own windows in the order windows() gives them (a stable sort of the stack by
    // level), without sorting every other app's windows as well.
    if (!stackByOwnerValid_) {
        stackByOwner_.clear();
        for (auto n : stack_) stackByOwner_[windows_.at(n).ownerPid].push_back(n);
        stackByOwnerValid_ = true;
    }
    std::vector<const SimWindow*> out;
    if (auto it = stackByOwner_.find(pid); it != stackByOwner_.end())
        for (auto n : it->second) out.push_back(&windows_.at(n));
    std::stable_sort(out.begin(), out.end(), [](const SimWindow* a, const SimWindow* b) { return a->layer > b->layer; });
    return out;
}

SimWindow* SimDesktop::window(std::uint32_t number) {
    auto it = windows_.find(number);
    return it == windows_.end() ? nullptr : &it->second;
}

const SimWindow* SimDesktop::window(std::uint32_t number) const {
    auto it = windows_.find(number);
    return it == windows_.end() ? nullptr : &it->second;
}

bool SimDesktop::isOnScreen(const SimWindow& w) const {
    const SimApp* owner = app(w.ownerPid);
    if (!owner || owner->isHidden || w.isMinimized) return false;
    return w.space == 0 || w.space == currentSpace_;
}

bool SimDesktop::isDesktopElement(const SimWindow& w) {
    // The desktop picture and the desktop icons sit at the two lowest levels.
    return w.layer <= kDesktopWindowLevel + 20;
}

WindowInfo SimDesktop::windowInfo(const SimWindow& w) const {
    // Built in the dictionary's own key order, each key placed after the one before without a
    // search (the list of a thousand windows is made on every opening of the bar).
    nlohmann::json::object_t o;
    const auto put = [&o](const char* key, nlohmann::json value) { o.emplace_hint(o.end(), key, std::move(value)); };
    put(WindowKey::alpha, w.alpha);
    put(WindowKey::bounds, dictionaryFromRect(w.bounds));
    if (isOnScreen(w)) put(WindowKey::isOnscreen, true);
    put(WindowKey::layer, w.layer);
    put(WindowKey::name, w.title);
    if (const SimApp* owner = app(w.ownerPid); owner && owner->localizedName) put(WindowKey::ownerName, *owner->localizedName);
    put(WindowKey::ownerPID, w.ownerPid);
    put(WindowKey::sharingState, w.sharingState);
    put(WindowKey::number, w.number);
    nlohmann::json d(std::move(o));
    for (const auto& [key, value] : w.infoOverrides.items()) {
        if (value.is_null())
            d.erase(key);
        else
            d[key] = value;
    }
    return WindowInfo(std::move(d));
}

namespace {
// On-screen windows first, then (unless only those are asked for) the others, each in the order given.
std::vector<WindowInfo> listed(const SimDesktop& desktop, const std::vector<const SimWindow*>& windows,
                               WindowListOption options) {
    const bool onScreenOnly = hasOption(options, WindowListOption::onScreenOnly);
    const bool excludeDesktop = hasOption(options, WindowListOption::excludeDesktopElements);
    std::vector<WindowInfo> on, off;
    for (const SimWindow* w : windows) {
        if (excludeDesktop && SimDesktop::isDesktopElement(*w)) continue;
        if (desktop.isOnScreen(*w))
            on.push_back(desktop.windowInfo(*w));
        else if (!onScreenOnly)
            off.push_back(desktop.windowInfo(*w));
    }
    for (auto& w : off) on.push_back(std::move(w));
    return on;
}
}  // namespace

std::optional<std::vector<WindowInfo>> SimDesktop::windowList(WindowListOption options) const {
    if (!windowListAvailable_) return std::nullopt;
    return listed(*this, windows(), options);
}

std::optional<std::vector<WindowInfo>> SimDesktop::windowListOfProcess(WindowListOption options, std::int32_t pid) const {
    if (!windowListAvailable_) return std::nullopt;
    return listed(*this, windowsOf(pid), options);
}

bool SimDesktop::listsWindowsUnderOtherOwners() const {
    for (const auto& [number, w] : windows_)
        if (w.infoOverrides.contains(WindowKey::ownerPID)) return true;
    return false;
}

// ---- Effects ---------------------------------------------------------------------------------

void SimDesktop::notify(const std::string& name, std::optional<RunningApplication> app) {
    runtime::Notification n{name, {}, {}};
    if (app) {
        n.object = *app;
        n.userInfo[Workspace::applicationKey] = *app;
    }
    runtime::MainLoop::main().post([n = std::move(n)] { runtime::NotificationCenter::workspace().post(n); });
}

void SimDesktop::makeFrontmost(std::int32_t pid) {
    std::erase(activationOrder_, pid);
    activationOrder_.insert(activationOrder_.begin(), pid);
    if (frontmost_ == pid) return;
    frontmost_ = pid;
    if (const SimApp* a = app(pid)) notify(Workspace::didActivateApplicationNotification, snapshot(*a));
}

void SimDesktop::chooseNextFrontmost(std::int32_t leaving) {
    auto eligible = [&](std::int32_t pid) {
        const SimApp* a = app(pid);
        return pid != leaving && a && a->isApplication && !a->isHidden && a->activationPolicy == ActivationPolicy::regular;
    };
    for (const SimWindow* w : windows()) {
        if (w->layer == kNormalWindowLevel && isOnScreen(*w) && eligible(w->ownerPid)) {
            makeFrontmost(w->ownerPid);
            return;
        }
    }
    for (auto pid : activationOrder_) {
        if (eligible(pid)) {
            makeFrontmost(pid);
            return;
        }
    }
    frontmost_.reset();
}

void SimDesktop::bringToFront(std::uint32_t number) {
    std::erase(stack_, number);
    stack_.insert(stack_.begin(), number);
    stackByOwnerValid_ = false;
}

void SimDesktop::doUnhide(SimApp& a) {
    if (!a.isHidden) return;
    a.isHidden = false;
    notify(Workspace::didUnhideApplicationNotification, snapshot(a));
}

bool SimDesktop::activate(std::int32_t pid, std::uint32_t options) {
    const bool all = (options & activateAllWindows) != 0;
    logCall("activate " + pidText(pid) + (all ? " allWindows" : ""));
    SimApp* a = app(pid);
    if (!a || !a->isApplication || a->activationPolicy == ActivationPolicy::prohibited || a->refusesActivation)
        return false;
    doUnhide(*a);
    // Raise the app's windows above the others, keeping their own order: all of them, or only
    // the front one that can be seen.
    std::vector<std::uint32_t> mine;
    for (const SimWindow* w : windowsOf(pid)) {
        if (!all && !isOnScreen(*w)) continue;
        mine.push_back(w->number);
        if (!all) break;
    }
    for (auto it = mine.rbegin(); it != mine.rend(); ++it) bringToFront(*it);
    makeFrontmost(pid);
    changed.emit();
    return true;
}

bool SimDesktop::hide(std::int32_t pid) {
    logCall("hide " + pidText(pid));
    SimApp* a = app(pid);
    if (!a || !a->isApplication) return false;
    if (a->isHidden) return true;
    a->isHidden = true;
    notify(Workspace::didHideApplicationNotification, snapshot(*a));
    if (frontmost_ == pid) chooseNextFrontmost(pid);
    changed.emit();
    return true;
}

bool SimDesktop::unhide(std::int32_t pid) {
    logCall("unhide " + pidText(pid));
    SimApp* a = app(pid);
    if (!a || !a->isApplication) return false;
    doUnhide(*a);
    changed.emit();
    return true;
}

bool SimDesktop::terminate(std::int32_t pid) {
    SimApp* a = app(pid);
    if (!a || !a->isApplication) {
        logCall("terminate " + pidText(pid));
        return false;
    }
    if (a->refusesPoliteTerminate) {
        logCall("terminate " + pidText(pid) + " refused");
        return true;
    }
    logCall("terminate " + pidText(pid));
    removeProcess(pid);
    return true;
}

bool SimDesktop::forceTerminate(std::int32_t pid) {
    logCall("forceTerminate " + pidText(pid));
    if (!app(pid)) return false;
    removeProcess(pid);
    return true;
}

void SimDesktop::removeProcess(std::int32_t pid) {
    SimApp* a = app(pid);
    if (!a) return;
    std::optional<RunningApplication> gone;
    if (a->isApplication) {
        gone = snapshot(*a);
        gone->isTerminated = true;
        gone->isActive = false;
    }
    for (auto it = windows_.begin(); it != windows_.end();) {
        if (it->second.ownerPid == pid) {
            std::erase(stack_, it->first);
            stackByOwnerValid_ = false;
            boundsBeforeFullscreen_.erase(it->first);
            it = windows_.erase(it);
        } else {
            ++it;
        }
    }
    processByPid_.erase(pid);
    std::erase_if(processes_, [pid](const auto& p) { return p->pid == pid; });
    std::erase(activationOrder_, pid);
    if (gone) notify(Workspace::didTerminateApplicationNotification, *gone);
    if (frontmost_ == pid) {
        frontmost_.reset();
        chooseNextFrontmost(pid);
    }
    changed.emit();
}

void SimDesktop::yieldActivation(std::int32_t toPid) { logCall("yieldActivation to " + pidText(toPid)); }

SimApp& SimDesktop::launch(SimApp a, std::vector<SimWindow> windows, bool activates) {
    logCall("launch " + a.localizedName.value_or(a.bundlePath.value_or("?")));
    a.pid = 0;
    a.launchDate = runtime::WallClock::shared().now();
    // A relaunch opens the windows the app was installed with; a first launch records them.
    const bool known = a.bundlePath && installed_.count(*a.bundlePath) > 0;
    SimApp& launched = addApp(std::move(a));
    const std::int32_t pid = launched.pid;
    notify(Workspace::didLaunchApplicationNotification, snapshot(launched));
    // Windows of a new process open in front of the others.
    std::vector<std::uint32_t> numbers;
    for (auto w : windows) {
        w.number = 0;
        w.ownerPid = pid;
        numbers.push_back(insertWindow(std::move(w), !known).number);
    }
    for (auto it = numbers.rbegin(); it != numbers.rend(); ++it) bringToFront(*it);
    if (activates) activate(pid, activateAllWindows | activateIgnoringOtherApps);
    changed.emit();
    return *app(pid);
}

std::optional<std::string> SimDesktop::applicationPath(const std::string& bundleID) const {
    for (const auto& [path, inst] : installed_)
        if (inst.app.bundleIdentifier == bundleID) return path;
    if (const auto* running = appWithBundleIdentifier(bundleID)) return running->bundlePath;
    return std::nullopt;
}

bool SimDesktop::openApplication(const std::string& bundlePath, bool activates) {
    logCall("open " + bundlePath + (activates ? " activating" : ""));
    for (const auto& p : processes_) {
        if (p->isApplication && p->bundlePath == bundlePath) {
            if (activates) activate(p->pid, activateAllWindows | activateIgnoringOtherApps);
            return true;
        }
    }
    auto it = installed_.find(bundlePath);
    if (it == installed_.end()) return false;
    Installed inst = it->second;
    launch(inst.app, inst.windows, activates);
    return true;
}

bool SimDesktop::raiseWindow(std::uint32_t number) {
    logCall("raise " + windowText(number));
    SimWindow* w = window(number);
    if (!w) return false;
    bringToFront(number);
    if (const SimApp* a = app(w->ownerPid); a && a->isApplication && a->activationPolicy != ActivationPolicy::prohibited)
        makeFrontmost(a->pid);
    changed.emit();
    return true;
}

bool SimDesktop::setMinimized(std::uint32_t number, bool minimized) {
    logCall((minimized ? "minimize " : "unminimize ") + windowText(number));
    SimWindow* w = window(number);
    if (!w) return false;
    if (w->isMinimized == minimized) return true;
    w->isMinimized = minimized;
    if (!minimized) {
        bringToFront(number);
        if (const SimApp* a = app(w->ownerPid); a && a->isApplication && a->activationPolicy != ActivationPolicy::prohibited)
            makeFrontmost(a->pid);
    }
    changed.emit();
    return true;
}

bool SimDesktop::closeWindow(std::uint32_t number) {
    logCall("close " + windowText(number));
    if (!windows_.erase(number)) return false;
    std::erase(stack_, number);
    stackByOwnerValid_ = false;
    boundsBeforeFullscreen_.erase(number);
    changed.emit();
    return true;
}

bool SimDesktop::moveWindow(std::uint32_t number, const Rect& bounds) {
    logCall("move " + windowText(number));
    SimWindow* w = window(number);
    if (!w) return false;
    w->bounds = bounds;
    changed.emit();
    return true;
}

std::optional<Screen> SimDesktop::screenForWindow(const SimWindow& w) const {
    if (screens_.empty()) return std::nullopt;
    const double primaryHeight = screens_.front().frame.maxY();
    const Rect b = w.bounds.standardized();
    const Point centre{b.midX(), primaryHeight - b.midY()};
    for (const auto& s : screens_)
        if (s.frame.contains(centre)) return s;
    return screens_.front();
}

bool SimDesktop::setFullscreen(std::uint32_t number, bool fullscreen) {
    logCall((fullscreen ? "enterFullscreen " : "exitFullscreen ") + windowText(number));
    SimWindow* w = window(number);
    if (!w) return false;
    if (w->isFullscreen == fullscreen) return true;
    if (fullscreen) {
        boundsBeforeFullscreen_[number] = w->bounds;
        if (auto s = screenForWindow(*w)) {
            const double primaryHeight = screens_.front().frame.maxY();
            const Rect f = s->frame.standardized();
            w->bounds = {f.x, primaryHeight - f.maxY(), f.width, f.height};
        }
    } else if (auto it = boundsBeforeFullscreen_.find(number); it != boundsBeforeFullscreen_.end()) {
        w->bounds = it->second;
        boundsBeforeFullscreen_.erase(it);
    }
    w->isFullscreen = fullscreen;
    changed.emit();
    return true;
}

bool SimDesktop::setWindowTitle(std::uint32_t number, std::string title) {
    SimWindow* w = window(number);
    if (!w) return false;
    w->title = std::move(title);
    changed.emit();
    return true;
}

void SimDesktop::setFrontProcess(std::int32_t pid, std::uint32_t windowNumber, std::uint32_t options) {
    logCall("setFrontProcess " + pidText(pid) + " " + windowText(windowNumber) + " options " + std::to_string(options));
    SimApp* a = app(pid);
    if (!a || !a->isApplication) return;
    const SimWindow* w = window(windowNumber);
    if (w && w->ownerPid == pid) {
        bringToFront(windowNumber);
    } else {
        for (const SimWindow* mine : windowsOf(pid)) {
            if (isOnScreen(*mine)) {
                bringToFront(mine->number);
                break;
            }
        }
    }
    makeFrontmost(pid);
    changed.emit();
}

void SimDesktop::postSystemEvent(const std::string& notificationName) {
    logCall("system " + notificationName);
    notify(notificationName);
}

}  // namespace quillmar::platform::sim
