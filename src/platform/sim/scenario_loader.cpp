#include "platform/sim/scenario_loader.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/json_nesting.h"
#include "platform/regular_file.h"
#include "platform/sim/scenario_limits.h"
#include "runtime/wall_clock.h"

namespace quillmar::platform::sim {

namespace {

ScenarioLoadResult failure(const std::string& file, const std::string& problem) {
    return ScenarioLoadResult{std::nullopt, file + ": " + problem};
}

std::uint32_t lighter(std::uint32_t argb) {
    auto mix = [&](int shift) {
        const std::uint32_t c = (argb >> shift) & 0xffu;
        return (c + (255u - c) * 35u / 100u) << shift;
    };
    return (argb & 0xff000000u) | mix(16) | mix(8) | mix(0);
}

// A stable colour for an app without one, so every run draws the same icons.
std::uint32_t colourFor(const std::string& name) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : name) h = (h ^ c) * 16777619u;
    static const std::uint32_t palette[] = {0xff3478f6u, 0xff34c759u, 0xffff9500u, 0xffaf52deu,
                                            0xffff3b30u, 0xff5ac8fau, 0xffffcc00u, 0xff8e8e93u};
    return palette[h % 8];
}

std::optional<ActivationPolicy> parsePolicy(ScenarioFields& f, const std::string& key) {
    auto s = f.string(key, Need::optional);
    if (!s) return std::nullopt;
    if (*s == "regular") return ActivationPolicy::regular;
    if (*s == "accessory") return ActivationPolicy::accessory;
    if (*s == "prohibited") return ActivationPolicy::prohibited;
    f.fail(key, "expected \"regular\", \"accessory\" or \"prohibited\", found " + ScenarioFields::quoted(*s));
    return std::nullopt;
}

std::string lineAndColumn(const std::string& text, std::size_t byte) {
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i + 1 < byte && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// A window's title that ends with its app's name as given, when the name was cut: the title's copy
// of the name is cut alike, so the title still ends with the app's name (and its label drops it).
// Any other title is its own text, cut only at its own bound. Both are compared as given.
struct AppName {
    std::string_view given;  // held by the app's fields
    std::string kept;
};
std::optional<std::string> titleWithKeptName(std::string_view title, const AppName& name) {
    if (name.kept.size() == name.given.size() || !title.ends_with(name.given)) return std::nullopt;
    // A bound that falls before the end of the name's kept bytes cuts the title as given and the
    // title with the kept name alike: the title as its field holds it.
    const std::size_t before = title.size() - name.given.size();
    if (before + name.kept.size() > SimWindow::kMaxTitleBytes) return std::nullopt;
    return std::string(title.substr(0, before)) + name.kept;
}

struct Builder {
    const ScenarioRegistry& registry;
    Scenario& s;
    std::string error;
    std::set<std::int32_t> usedPids;
    std::set<std::uint32_t> usedWindows;
    std::size_t windowCount = 0;

    bool check(ScenarioFields& f) {
        if (!f.ok() && error.empty()) error = f.error();
        return error.empty();
    }

    void screens(const nlohmann::json* list) {
        if (!list) {
            s.screens.push_back(Screen{1, "Built-in Display", {0, 0, 1440, 900}, {0, 0, 1440, 875}, 2});
            return;
        }
        for (std::size_t i = 0; i < list->size() && error.empty(); ++i) {
            ScenarioFields f((*list)[i], "screens[" + std::to_string(i) + "]");
            Screen sc;
            sc.displayID = static_cast<std::uint32_t>(i + 1);
            sc.name = f.string("name", Need::optional).value_or("Display " + std::to_string(i + 1));
            auto frame = f.rect("frame");
            if (frame && (frame->width <= 0 || frame->height <= 0)) f.fail("frame", "a screen needs a size above zero");
            if (frame) sc.frame = *frame;
            sc.visibleFrame = f.rect("visibleFrame", Need::optional).value_or(sc.frame);
            sc.backingScaleFactor = f.number("scale", Need::optional, 1, 4).value_or(2);
            f.rejectUnknown();
            if (check(f)) s.screens.push_back(sc);
        }
        if (error.empty() && s.screens.empty()) error = "screens: at least one screen is needed";
    }

    void ownProcess(const nlohmann::json* obj) {
        SimApp own;
        own.pid = 300;
        own.localizedName = "Quillmar";
        own.bundleIdentifier = "com.quillmar.macos";
        own.bundlePath = "/Applications/Quillmar.app";
        own.executablePath = "/Applications/Quillmar.app/Contents/MacOS/Quillmar";
        own.parentPid = 1;
        own.activationPolicy = ActivationPolicy::accessory;
        if (obj) {
            ScenarioFields f(*obj, "ownProcess");
            if (auto pid = f.integer("pid", Need::optional, 1, INT32_MAX)) own.pid = static_cast<std::int32_t>(*pid);
            if (auto v = f.string("name", Need::optional)) own.localizedName = *v;
            if (auto v = f.string("bundleID", Need::optional)) own.bundleIdentifier = *v;
            if (auto v = f.string("bundlePath", Need::optional)) own.bundlePath = *v;
            if (auto v = f.string("executablePath", Need::optional)) own.executablePath = *v;
            if (auto p = parsePolicy(f, "policy")) own.activationPolicy = *p;
            f.rejectUnknown();
            if (!check(f)) return;
        }
        own.icon = AppIcon::roundedSquare(64, 0xff7fb2ffu, 0xff2f6fe0u);
        usedPids.insert(own.pid);
        s.ownProcess = own;
    }

    void processes(const nlohmann::json* list) {
        if (!list) return;
        for (std::size_t i = 0; i < list->size() && error.empty(); ++i) {
            ScenarioFields f((*list)[i], "processes[" + std::to_string(i) + "]");
            SimApp p;
            p.isApplication = false;
            auto pid = f.integer("pid", Need::required, 1, INT32_MAX);
            p.executablePath = f.string("path");
            if (auto pp = f.integer("parentPid", Need::optional, 0, INT32_MAX)) p.parentPid = static_cast<std::int32_t>(*pp);
            f.rejectUnknown();
            if (pid && !usedPids.insert(static_cast<std::int32_t>(*pid)).second) f.fail("pid", "pid " + std::to_string(*pid) + " is used twice");
            if (!check(f)) return;
            p.pid = static_cast<std::int32_t>(*pid);
            s.processes.push_back(std::move(p));
        }
    }

    SimWindow window(const nlohmann::json& obj, const std::string& path, const AppName& appName) {
        ScenarioFields f(obj, path);
        SimWindow w;
        if (auto n = f.integer("number", Need::optional, 1, UINT32_MAX)) {
            w.number = static_cast<std::uint32_t>(*n);
            if (!usedWindows.insert(w.number).second) f.fail("number", "window number " + std::to_string(*n) + " is used twice");
        }
        w.title = f.string("title", Need::optional).value_or("");
        if (auto title = titleWithKeptName(f.given("title"), appName)) {
            w.givenTitle = std::move(w.title);
            w.title = std::move(*title);
        }
        if (auto b = f.rect("bounds")) w.bounds = *b;
        w.layer = static_cast<int>(f.integer("layer", Need::optional, INT32_MIN, INT32_MAX).value_or(0));
        w.alpha = f.number("alpha", Need::optional, 0, 1).value_or(1.0);
        w.isMinimized = f.boolean("minimized", Need::optional).value_or(false);
        w.isFullscreen = f.boolean("fullscreen", Need::optional).value_or(false);
        w.space = static_cast<int>(f.integer("space", Need::optional, 0, 16).value_or(1));
        w.sharingState = static_cast<int>(f.integer("sharingState", Need::optional, 0, 2).value_or(1));
        if (const auto* info = f.object("info", Need::optional)) w.infoOverrides = *info;
        f.rejectUnknown();
        check(f);
        return w;
    }

    void apps(const nlohmann::json* list) {
        if (!list) return;
        // Explicit pids first, so that assigned ones never collide with a later explicit one.
        // Other problems of a pid are reported in order below.
        for (std::size_t i = 0; i < list->size() && error.empty(); ++i) {
            ScenarioFields f((*list)[i], "apps[" + std::to_string(i) + "]");
            const auto pid = f.integer("pid", Need::optional, 1, INT32_MAX);
            if (pid && !usedPids.insert(static_cast<std::int32_t>(*pid)).second)
                error = f.pathOf("pid") + ": pid " + std::to_string(*pid) + " is used twice";
        }
        std::int32_t nextPid = 500;
        for (std::size_t i = 0; i < list->size() && error.empty(); ++i) {
            const std::string path = "apps[" + std::to_string(i) + "]";
            ScenarioFields f((*list)[i], path);
            ScenarioApp entry;
            SimApp& app = entry.app;
            if (auto pid = f.integer("pid", Need::optional, 1, INT32_MAX)) {
                app.pid = static_cast<std::int32_t>(*pid);
            } else {
                while (usedPids.count(nextPid)) ++nextPid;
                app.pid = nextPid;
                usedPids.insert(nextPid);
            }
            AppName name;
            if (auto kept = f.string("name", Need::optional)) {
                app.localizedName = *kept;
                name = {f.given("name"), std::move(*kept)};
            }
            app.bundleIdentifier = f.string("bundleID", Need::optional);
            app.bundlePath = f.string("bundlePath", Need::optional);
            app.executablePath = f.string("executablePath", Need::optional);
            if (auto pp = f.integer("parentPid", Need::optional, 0, INT32_MAX)) app.parentPid = static_cast<std::int32_t>(*pp);
            else app.parentPid = 1;
            if (auto p = parsePolicy(f, "policy")) app.activationPolicy = *p;
            app.isHidden = f.boolean("hidden", Need::optional).value_or(false);
            entry.running = f.boolean("running", Need::optional).value_or(true);
            const auto colour = f.color("icon", Need::optional)
                                    .value_or(colourFor(app.localizedName.value_or(app.bundleIdentifier.value_or(""))));
            app.icon = AppIcon::roundedSquare(64, lighter(colour), colour);
            app.iconColor = colour;
            if (const auto* info = f.object("info", Need::optional))
                for (auto& [k, v] : info->items()) app.infoPlist[k] = v;
            app.hasBundle = f.boolean("hasBundle", Need::optional).value_or(true);
            app.refusesPoliteTerminate = f.boolean("refusesTerminate", Need::optional).value_or(false);
            app.refusesActivation = f.boolean("refusesActivation", Need::optional).value_or(false);
            if (const auto* windows = f.array("windows", Need::optional)) {
                if (windowCount + windows->size() > ScenarioLimits::kWindows)
                    f.fail("windows", "a desktop holds at most " + std::to_string(ScenarioLimits::kWindows) +
                                          " windows, all apps together");
                for (std::size_t k = 0; k < windows->size() && error.empty() && f.ok(); ++k) {
                    SimWindow w = window((*windows)[k], path + ".windows[" + std::to_string(k) + "]", name);
                    w.ownerPid = app.pid;
                    entry.windows.push_back(std::move(w));
                }
                windowCount += windows->size();
            }
            if (!entry.running && !app.bundlePath) f.fail("running", "an app that is not running needs a bundlePath to be launched by");
            f.rejectUnknown();
            if (!check(f)) return;
            s.apps.push_back(std::move(entry));
        }
    }

    void frontmost(ScenarioFields& top) {
        const auto* v = top.value("frontmost", Need::optional);
        if (!v) {
            for (const auto& a : s.apps) {
                if (a.running && !a.app.isHidden && a.app.activationPolicy == ActivationPolicy::regular) {
                    s.frontmost = a.app.pid;
                    break;
                }
            }
            return;
        }
        for (const auto& a : s.apps) {
            if (!a.running) continue;
            const bool match = (v->is_number_integer() && v->get<std::int64_t>() == a.app.pid) ||
                               (v->is_string() && (a.app.localizedName == v->get<std::string>() ||
                                                   a.app.bundleIdentifier == v->get<std::string>()));
            if (match) {
                s.frontmost = a.app.pid;
                return;
            }
        }
        top.fail("frontmost", "names no running app: " + ScenarioFields::shown(*v));
    }

    // Why a step's file cannot be written: it leaves the output folder, or it would take, hold or
    // lie under a name the run writes itself.
    std::optional<std::string> outputNameProblem(const std::string& name) const {
        if (auto problem = ScenarioLoader::outputNameProblem(name)) return problem;
        const std::string normal = std::filesystem::path(name).lexically_normal().generic_string();
        auto under = [](const std::string& inner, const std::string& outer) {
            return inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 && inner[outer.size()] == '/';
        };
        for (const auto& [reserved, whose] : registry.reservedOutputNames()) {
            if (normal == reserved) return ScenarioFields::quoted(name) + " is " + whose + " name";
            if (under(reserved, normal) || under(normal, reserved))
                return ScenarioFields::quoted(name) + " clashes with " + whose + " name, \"" + reserved + "\"";
        }
        return std::nullopt;
    }

    void entries(const nlohmann::json* list, const std::string& listName, std::vector<ScenarioEntry>& out) {
        if (!list) return;
        for (std::size_t i = 0; i < list->size() && error.empty(); ++i) {
            const std::string path = listName + "[" + std::to_string(i) + "]";
            ScenarioFields f((*list)[i], path);
            auto name = f.string("do");
            const ScenarioHandler* handler = name ? registry.step(*name) : nullptr;
            if (name && !handler) f.fail("do", "unknown step " + ScenarioFields::quoted(*name));
            if (handler) (*handler)(f, nullptr);
            f.rejectUnknown();
            // Pictures and other output stay inside the output folder. A step that takes a file
            // has read it by now (or it would be unknown).
            if (f.ok() && f.has("file"))
                if (auto file = f.string("file"))
                    if (auto problem = outputNameProblem(*file)) f.fail("file", *problem);
            if (!check(f)) return;
            out.push_back(ScenarioEntry{*name, f.read(), path});
        }
    }
};

}  // namespace

std::optional<double> ScenarioLoader::parseLocalDate(const std::string& text, const std::string& timeZone) {
    // YYYY-MM-DDTHH:MM[:SS[.fraction]], the year four to ten digits, maybe negative: read by
    // hand, and only as long as a date can be.
    if (text.size() > kMaxDateLength) return std::nullopt;
    std::size_t at = 0;
    // At most ten digits: the value always fits.
    auto number = [&](std::size_t fewest, std::size_t most) -> std::optional<long long> {
        long long value = 0;
        const std::size_t start = at;
        while (at < text.size() && at - start < most && text[at] >= '0' && text[at] <= '9')
            value = value * 10 + (text[at++] - '0');
        if (at - start < fewest) return std::nullopt;
        return value;
    };
    auto digits = [&] {
        const std::size_t start = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
        return at > start;
    };
    auto skip = [&](char c) { return at < text.size() && text[at] == c ? (++at, true) : false; };
    const bool negative = skip('-');
    const auto year = number(4, 10);
    if (!year || !skip('-')) return std::nullopt;
    const auto month = number(2, 2);
    if (!month || !skip('-')) return std::nullopt;
    const auto day = number(2, 2);
    if (!day || !skip('T')) return std::nullopt;
    const auto hour = number(2, 2);
    if (!hour || !skip(':')) return std::nullopt;
    const auto minute = number(2, 2);
    if (!minute) return std::nullopt;
    // A fraction is cut, never rounded up into the next second (the wall clock refuses a 60th).
    double second = 0;
    if (skip(':')) {
        const std::size_t start = at;
        const auto whole = number(2, 2);
        if (!whole || (skip('.') && !digits())) return std::nullopt;
        std::from_chars(text.data() + start, text.data() + at, second);
        second = std::min(second, std::nextafter(static_cast<double>(*whole + 1), 0.0));
    }
    if (at != text.size() || *year > INT_MAX) return std::nullopt;
    runtime::CivilDateTime c;
    c.year = static_cast<int>(negative ? -*year : *year);
    c.month = static_cast<int>(*month);
    c.day = static_cast<int>(*day);
    c.hour = static_cast<int>(*hour);
    c.minute = static_cast<int>(*minute);
    c.second = second;
    return runtime::WallClock::instant(c, timeZone);
}

std::string ScenarioLoader::dateProblem(const std::string& text) {
    return ScenarioFields::quoted(text) + " is not a possible date and time (expected YYYY-MM-DDTHH:MM[:SS])";
}

ScenarioLoadResult ScenarioLoader::loadFile(const std::string& path) const {
    // Only regular files of a sane size: a device, a pipe or a huge file would block or eat memory.
    auto file = readRegularFile(path, kMaxFileBytes);
    using Status = RegularFileRead::Status;
    switch (file.status) {
        case Status::ok: return parse(file.text, path);
        case Status::missing: return failure(path, "cannot be opened");
        case Status::notRegular: return failure(path, file.problem);
        case Status::tooLarge:
            return failure(path, file.problem.substr(0, file.problem.find(';')) + "; a scenario may have at most " +
                                     std::to_string(kMaxFileBytes) + " bytes");
        case Status::readFailed: break;
    }
    return failure(path, file.problem);
}

std::optional<std::string> ScenarioLoader::outputNameProblem(const std::string& name) {
    if (name.empty()) return "an output file needs a name";
    if (name.find('\0') != std::string::npos) return "an output file name cannot hold a NUL character";
    const std::filesystem::path p(name);
    if (p.is_absolute() || p.has_root_name() || p.has_root_directory())
        return ScenarioFields::quoted(name) + " is absolute; output files are named relative to the output folder";
    for (const auto& part : p)
        if (part == "..") return ScenarioFields::quoted(name) + " leaves the output folder";
    if (!p.has_filename() || p.filename() == ".") return ScenarioFields::quoted(name) + " names a folder, not a file";
    return std::nullopt;
}

ScenarioLoadResult ScenarioLoader::parse(const std::string& text, const std::string& fileName) const {
    const auto nesting = jsonNesting(text);
    if (nesting.firstTooDeep != std::string_view::npos)
        return failure(fileName, "nests deeper than " + std::to_string(kMaxJsonNesting) + " levels (" +
                                     lineAndColumn(text, nesting.firstTooDeep + 1) + ")");
    nlohmann::json doc;
    try {
        doc = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        return failure(fileName, "not valid JSON (" + lineAndColumn(text, e.byte) + ")");
    } catch (const nlohmann::json::exception& e) {
        // A number beyond a double's range and the like.
        return failure(fileName, std::string("not usable JSON: ") + e.what());
    }
    if (!doc.is_object()) return failure(fileName, "a scenario is a JSON object");

    Scenario s;
    s.file = fileName;
    Builder b{registry_, s, {}, {}, {}};
    ScenarioFields top(doc, "");

    s.description = top.string("description", Need::optional).value_or("");
    b.screens(top.array("screens", Need::optional));
    if (auto i = top.integer("mainScreen", Need::optional, 0, ScenarioLimits::kScreens - 1)) {
        if (b.error.empty() && static_cast<std::size_t>(*i) >= s.screens.size()) top.fail("mainScreen", "there is no screen " + std::to_string(*i));
        s.mainScreen = static_cast<std::size_t>(*i);
    }
    s.pointer = top.point("pointer", Need::optional);
    s.space = static_cast<int>(top.integer("space", Need::optional, 1, 16).value_or(1));
    s.languages = top.stringArray("languages", Need::optional).value_or(std::vector<std::string>{"en-US"});
    s.timeZone = top.string("timeZone", Need::optional).value_or("UTC");
    if (!runtime::WallClock::isKnownTimeZone(s.timeZone))
        top.fail("timeZone", "unknown time zone " + ScenarioFields::quoted(s.timeZone));
    const std::string date = top.string("date", Need::optional).value_or("2025-06-02T10:00:00");
    if (top.ok()) {
        if (auto epoch = parseLocalDate(date, s.timeZone))
            s.epochSeconds = *epoch;
        else
            top.fail("date", dateProblem(date));
    }
    if (const auto* settings = top.object("settings", Need::optional))
        for (auto& [k, v] : settings->items()) s.settings[k] = v;
    if (!b.check(top)) return failure(fileName, b.error);

    b.ownProcess(top.object("ownProcess", Need::optional));
    b.processes(top.array("processes", Need::optional));
    b.apps(top.array("apps"));
    if (!b.check(top) || !b.error.empty()) return failure(fileName, b.error);
    b.frontmost(top);
    if (const auto* stacking = top.array("stacking", Need::optional)) {
        for (std::size_t i = 0; i < stacking->size(); ++i) {
            const auto& n = (*stacking)[i];
            if (!n.is_number_unsigned() || !b.usedWindows.count(n.get<std::uint32_t>())) {
                top.fail("stacking[" + std::to_string(i) + "]",
                         "names no window number given in the scenario: " + ScenarioFields::shown(n));
                break;
            }
            s.stacking.push_back(n.get<std::uint32_t>());
        }
    }
    if (!b.check(top)) return failure(fileName, b.error);

    // Sections registered by other parts of the simulation.
    for (auto it = doc.begin(); it != doc.end() && b.error.empty(); ++it) {
        const ScenarioHandler* handler = registry_.section(it.key());
        if (!handler) continue;
        top.allow(it.key());
        ScenarioFields f(it.value(), it.key());
        (*handler)(f, nullptr);
        f.rejectUnknown();
        if (b.check(f)) s.sections.push_back(ScenarioEntry{it.key(), f.read(), it.key()});
    }
    if (!b.error.empty()) return failure(fileName, b.error);

    b.entries(top.array("steps", Need::optional), "steps", s.steps);
    if (!b.error.empty()) return failure(fileName, b.error);
    top.rejectUnknown();
    if (!b.check(top)) return failure(fileName, b.error);
    return ScenarioLoadResult{std::move(s), {}};
}

}  // namespace quillmar::platform::sim
