#include "platform/sim/desktop_steps.h"

#include "platform/sim/event_log.h"
#include "platform/sim/sim_desktop.h"
#include "platform/user_defaults.h"
#include "platform/workspace.h"
#include "runtime/main_loop.h"

namespace quillmar::platform::sim {

std::string AppReference::describe() const { return pid ? "pid " + std::to_string(*pid) : "app \"" + name.value_or("") + "\""; }

std::optional<AppReference> readAppReference(ScenarioFields& f) {
    AppReference ref;
    if (auto pid = f.integer("pid", Need::optional, 1, INT32_MAX)) ref.pid = static_cast<std::int32_t>(*pid);
    ref.name = f.string("app", Need::optional);
    if (ref.pid.has_value() == ref.name.has_value()) {
        f.failHere("name the app with either \"app\" or \"pid\"");
        return std::nullopt;
    }
    return ref;
}

std::optional<std::int32_t> resolveApp(const SimDesktop& desktop, const AppReference& ref) {
    for (const SimApp* p : desktop.processes()) {
        if (!p->isApplication) continue;
        if (ref.pid ? p->pid == *ref.pid
                    : (p->localizedName == ref.name || p->bundleIdentifier == ref.name))
            return p->pid;
    }
    return std::nullopt;
}

std::string WindowReference::describe() const {
    return number ? "window " + std::to_string(*number) : "window " + ScenarioFields::quoted(title.value_or(""));
}

std::optional<WindowReference> readWindowReference(ScenarioFields& f) {
    WindowReference ref;
    if (auto n = f.integer("window", Need::optional, 1, UINT32_MAX)) ref.number = static_cast<std::uint32_t>(*n);
    if (auto title = f.string("windowTitle", Need::optional)) ref.title = *title;
    if (ref.number.has_value() == ref.title.has_value()) {
        f.failHere("name the window with either \"window\" or \"windowTitle\"");
        return std::nullopt;
    }
    return ref;
}

std::optional<std::uint32_t> resolveWindow(const SimDesktop& desktop, const WindowReference& ref) {
    if (ref.number) return desktop.window(*ref.number) ? ref.number : std::nullopt;
    // A window named by its title as given is that window, though another's cut title reads the
    // same; only when none is named so is a cut title looked for.
    for (const SimWindow* w : desktop.windows())
        if ((w->givenTitle ? *w->givenTitle : w->title) == *ref.title) return w->number;
    for (const SimWindow* w : desktop.windows())
        if (w->title == *ref.title) return w->number;
    return std::nullopt;
}

namespace {

void skipped(StepContext& ctx, const std::string& why) { ctx.log.record("stepSkipped", {{"reason", why}}); }

// A step acting on one app.
template <bool (SimDesktop::*action)(std::int32_t)>
void appStep(ScenarioFields& f, StepContext* ctx) {
    auto ref = readAppReference(f);
    if (!ctx || !ref) return;
    auto pid = resolveApp(ctx->desktop, *ref);
    if (!pid) return skipped(*ctx, "no running " + ref->describe());
    (ctx->desktop.*action)(*pid);
}

// A step acting on one window.
template <void (*action)(SimDesktop&, std::uint32_t)>
void windowStep(ScenarioFields& f, StepContext* ctx) {
    auto ref = readWindowReference(f);
    if (!ctx || !ref) return;
    auto number = resolveWindow(ctx->desktop, *ref);
    if (!number) return skipped(*ctx, "no " + ref->describe());
    action(ctx->desktop, *number);
}

void raiseWindow(SimDesktop& d, std::uint32_t n) { d.raiseWindow(n); }
void minimizeWindow(SimDesktop& d, std::uint32_t n) { d.setMinimized(n, true); }
void unminimizeWindow(SimDesktop& d, std::uint32_t n) { d.setMinimized(n, false); }
void closeWindow(SimDesktop& d, std::uint32_t n) { d.closeWindow(n); }

std::optional<std::vector<Screen>> readScreens(ScenarioFields& f) {
    const auto* list = f.array("screens");
    if (!list) return std::nullopt;
    std::vector<Screen> out;
    for (std::size_t i = 0; i < list->size(); ++i) {
        ScenarioFields s((*list)[i], f.pathOf("screens") + "[" + std::to_string(i) + "]");
        Screen sc;
        sc.displayID = static_cast<std::uint32_t>(i + 1);
        sc.name = s.string("name", Need::optional).value_or("Display " + std::to_string(i + 1));
        if (auto r = s.rect("frame")) sc.frame = *r;
        sc.visibleFrame = s.rect("visibleFrame", Need::optional).value_or(sc.frame);
        sc.backingScaleFactor = s.number("scale", Need::optional, 1, 4).value_or(2);
        s.rejectUnknown();
        if (!s.ok()) {
            f.absorb(s);
            return std::nullopt;
        }
        out.push_back(sc);
    }
    return out;
}


void advanceStep(ScenarioFields& f, StepContext* ctx) {
    auto seconds = f.number("seconds", Need::required, 0, 366.0 * 86400);
    if (!ctx || !seconds) return;
    runtime::MainLoop::main().advance(*seconds);
}

void activateStep(ScenarioFields& f, StepContext* ctx) {
    auto ref = readAppReference(f);
    const bool all = f.boolean("allWindows", Need::optional).value_or(false);
    if (!ctx || !ref) return;
    auto pid = resolveApp(ctx->desktop, *ref);
    if (!pid) return skipped(*ctx, "no running " + ref->describe());
    if (!ctx->desktop.activate(*pid, activateIgnoringOtherApps | (all ? std::uint32_t{activateAllWindows} : 0u)))
        skipped(*ctx, ref->describe() + " refused activation");
}

void openStep(ScenarioFields& f, StepContext* ctx) {
    auto path = f.string("bundlePath");
    const bool activates = f.boolean("activates", Need::optional).value_or(true);
    if (!ctx || !path) return;
    if (!ctx->desktop.openApplication(*path, activates)) skipped(*ctx, "nothing to open at " + *path);
}

void fullscreenStep(ScenarioFields& f, StepContext* ctx) {
    auto ref = readWindowReference(f);
    const bool on = f.boolean("on", Need::optional).value_or(true);
    if (!ctx || !ref) return;
    auto n = resolveWindow(ctx->desktop, *ref);
    if (!n) return skipped(*ctx, "no " + ref->describe());
    ctx->desktop.setFullscreen(*n, on);
}

void moveWindowStep(ScenarioFields& f, StepContext* ctx) {
    auto ref = readWindowReference(f);
    auto bounds = f.rect("bounds");
    if (!ctx || !ref || !bounds) return;
    auto n = resolveWindow(ctx->desktop, *ref);
    if (!n) return skipped(*ctx, "no " + ref->describe());
    ctx->desktop.moveWindow(*n, *bounds);
}

void pointerStep(ScenarioFields& f, StepContext* ctx) {
    auto at = f.point("at");
    if (!ctx || !at) return;
    ctx->desktop.setPointer(*at);
}

void spaceStep(ScenarioFields& f, StepContext* ctx) {
    auto space = f.integer("space", Need::required, 1, 16);
    if (!ctx || !space) return;
    ctx->desktop.setCurrentSpace(static_cast<int>(*space));
}

void screensStep(ScenarioFields& f, StepContext* ctx) {
    auto screens = readScreens(f);
    if (!ctx || !screens) return;
    ctx->desktop.setScreens(*screens);
}

void systemStep(ScenarioFields& f, StepContext* ctx) {
    static const std::map<std::string, const char*> names = {
        {"willSleep", Workspace::willSleepNotification},
        {"didWake", Workspace::didWakeNotification},
        {"screensDidSleep", Workspace::screensDidSleepNotification},
        {"screensDidWake", Workspace::screensDidWakeNotification},
        {"sessionDidResignActive", Workspace::sessionDidResignActiveNotification},
        {"sessionDidBecomeActive", Workspace::sessionDidBecomeActiveNotification},
    };
    auto event = f.string("event");
    auto it = event ? names.find(*event) : names.end();
    if (event && it == names.end()) f.fail("event", "unknown system event " + ScenarioFields::quoted(*event));
    if (!ctx || it == names.end()) return;
    ctx->desktop.postSystemEvent(it->second);
}

void setDefaultStep(ScenarioFields& f, StepContext* ctx) {
    auto key = f.string("key");
    const auto* value = f.value("value");
    if (!ctx || !key || !value) return;
    UserDefaults::standard().set(*key, *value);
}

void noteStep(ScenarioFields& f, StepContext* ctx) {
    auto text = f.string("text");
    if (!ctx || !text) return;
    ctx->log.record("note", {{"text", *text}});
    if (ctx->pictures) ctx->pictures->setNote(*text);
}

constexpr NamedStep kDesktopSteps[] = {
    {"advance", advanceStep},
    {"activate", activateStep},
    {"hide", appStep<&SimDesktop::hide>},
    {"unhide", appStep<&SimDesktop::unhide>},
    {"terminate", appStep<&SimDesktop::terminate>},
    {"forceTerminate", appStep<&SimDesktop::forceTerminate>},
    {"open", openStep},
    {"raiseWindow", windowStep<raiseWindow>},
    {"minimize", windowStep<minimizeWindow>},
    {"unminimize", windowStep<unminimizeWindow>},
    {"closeWindow", windowStep<closeWindow>},
    {"fullscreen", fullscreenStep},
    {"moveWindow", moveWindowStep},
    {"pointer", pointerStep},
    {"space", spaceStep},
    {"screens", screensStep},
    {"system", systemStep},
    {"setDefault", setDefaultStep},
    {"note", noteStep},
};

}  // namespace

void registerDesktopSteps(ScenarioRegistry& r) {
    r.registerSteps(kDesktopSteps);
}

}  // namespace quillmar::platform::sim
