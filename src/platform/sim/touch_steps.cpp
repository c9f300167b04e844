#include "platform/sim/touch_steps.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/event_log.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_device_notifications.h"
#include "platform/sim/sim_event_tap.h"
#include "runtime/main_loop.h"
#include "runtime/world.h"

namespace quillmar::platform::sim {

namespace {

// The fingers resting on each device between steps.
struct RestingFingers {
    std::vector<SimFinger> fingers;
};
struct TouchScene {
    std::map<MTDeviceRef, RestingFingers> resting;
    std::int32_t nextIdentifier = 1;
};

struct FingerOptions {
    int fingers = 3;
    double frameRate = 90;
    double spacing = 0.06;
    std::optional<std::string> device;
};

SimMultitouchFramework* framework() {
    return dynamic_cast<SimMultitouchFramework*>(MultitouchFramework::installed());
}

void skipped(StepContext& ctx, const std::string& why) { ctx.log.record("stepSkipped", {{"reason", why}}); }

FingerOptions readFingerOptions(ScenarioFields& f) {
    FingerOptions o;
    o.fingers = static_cast<int>(f.integer("fingers", Need::optional, 1, 10).value_or(3));
    o.frameRate = f.number("frameRate", Need::optional, 1, 1000).value_or(90);
    o.spacing = f.number("spacing", Need::optional, 0, 0.3).value_or(0.06);
    o.device = f.string("device", Need::optional);
    return o;
}

std::optional<std::vector<Point>> readPath(ScenarioFields& f) {
    const auto* path = f.array("path");
    if (!path) return std::nullopt;
    std::vector<Point> points;
    for (const auto& p : *path) {
        if (!p.is_array() || p.size() != 2 || !p[0].is_number() || !p[1].is_number() ||
            !std::isfinite(p[0].get<double>()) || !std::isfinite(p[1].get<double>())) {
            f.fail("path", "expected points [x, y] of finite numbers");
            return std::nullopt;
        }
        points.push_back({p[0].get<double>(), p[1].get<double>()});
    }
    if (points.size() < 2) {
        f.fail("path", "a slide needs at least two points");
        return std::nullopt;
    }
    return points;
}

// The named device, or else the first trackpad (multitouch mice are families 112 and 113).
MTDeviceHandle findDevice(SimMultitouchFramework& mt, const std::optional<std::string>& name) {
    for (const auto& d : mt.devices())
        if (name ? d->name == *name : (d->familyID & ~1) != 112) return d;
    return nullptr;
}

// The scene's fingers at a centroid, side by side.
std::vector<SimFinger> fingersAt(const std::vector<SimFinger>& ids, Point at, double spacing) {
    std::vector<SimFinger> out = ids;
    const double mid = (static_cast<double>(out.size()) - 1) / 2;
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i].x = static_cast<float>(at.x + (static_cast<double>(i) - mid) * spacing);
        out[i].y = static_cast<float>(at.y);
    }
    return out;
}

// The resting fingers when their count matches, else newly landed ones.
std::vector<SimFinger> fingersFor(TouchScene& scene, MTDeviceRef device, int count) {
    auto& resting = scene.resting[device].fingers;
    if (static_cast<int>(resting.size()) == count) return resting;
    std::vector<SimFinger> fresh;
    for (int i = 0; i < count; ++i) fresh.push_back(SimFinger{scene.nextIdentifier++, 0, 0, 1.0f, 4});
    return fresh;
}

// One frame: the clock moves by one interval, then the framework's thread delivers the frame
// and the main loop runs what it caused.
void deliver(SimMultitouchFramework& mt, const MTDeviceHandle& device, const std::vector<SimFinger>& fingers,
             double interval) {
    auto& loop = runtime::MainLoop::main();
    loop.advance(interval);
    const double now = runtime::mediaTime();
    mt.deliverOnFrameThread(device, {SimContactFrame{simTouches(fingers, now), now}});
    mt.waitForFrameThread();
    loop.runUntilIdle();
}

void liftAll(TouchScene& scene, SimMultitouchFramework& mt, const MTDeviceHandle& device, double interval) {
    deliver(mt, device, {}, interval);
    scene.resting.erase(device.get());
}

nlohmann::ordered_json pointJson(Point p) { return nlohmann::ordered_json::array({p.x, p.y}); }

void recordTapResult(StepContext& ctx, const std::string& event, TapDecision decision,
                     nlohmann::ordered_json fields) {
    fields["result"] = decision == TapDecision::swallow ? "swallowed" : "delivered";
    ctx.log.record(event, std::move(fields));
}

SimEventTap* eventStream() { return dynamic_cast<SimEventTap*>(EventTap::installed()); }

std::optional<SimMultitouchDeviceInfo> readDeviceInfo(ScenarioFields& f) {
    auto name = f.string("name");
    auto kind = f.string("kind", Need::optional).value_or("trackpad");
    if (kind != "trackpad" && kind != "mouse") f.fail("kind", "expected \"trackpad\" or \"mouse\"");
    if (!name || (kind != "trackpad" && kind != "mouse")) return std::nullopt;
    return kind == "mouse" ? SimMultitouchDeviceInfo::mouse(*name) : SimMultitouchDeviceInfo::trackpad(*name);
}

}  // namespace

SimMultitouchFramework& installSimTouchHardware() {
    if (!runtime::World::find<DeviceNotifications>()) SimDeviceNotifications::install();
    if (!runtime::World::find<EventTap>()) SimEventTap::install();
    if (auto* mt = framework()) return *mt;
    return SimMultitouchFramework::install();
}

namespace {

void trackpadsSection(ScenarioFields& f, StepContext* ctx) {
    std::vector<SimMultitouchDeviceInfo> infos;
    if (const auto* devices = f.array("devices")) {
        for (std::size_t i = 0; i < devices->size(); ++i) {
            ScenarioFields d((*devices)[i], f.pathOf("devices") + "[" + std::to_string(i) + "]");
            auto info = readDeviceInfo(d);
            d.rejectUnknown();
            f.absorb(d);
            if (info) infos.push_back(*info);
        }
    }
    if (!ctx) return;
    auto& mt = installSimTouchHardware();
    for (const auto& info : infos) mt.addDevice(info);
}

void attachTrackpadStep(ScenarioFields& f, StepContext* ctx) {
    auto info = readDeviceInfo(f);
    if (!ctx || !info) return;
    auto* mt = framework();
    if (!mt) return skipped(*ctx, "no multitouch framework");
    mt->addDevice(*info);
    ctx->log.record("deviceAttached", {{"name", info->name}, {"family", info->familyID}});
}

void detachTrackpadStep(ScenarioFields& f, StepContext* ctx) {
    auto name = f.string("name");
    if (!ctx || !name) return;
    auto* mt = framework();
    auto device = mt ? findDevice(*mt, name) : nullptr;
    if (!device) return skipped(*ctx, "no device \"" + *name + "\"");
    ctx->desktop.extension<TouchScene>().resting.erase(device.get());
    mt->removeDevice(device.get());
    ctx->log.record("deviceDetached", {{"name", *name}});
}

void touchStep(ScenarioFields& f, StepContext* ctx) {
    auto options = readFingerOptions(f);
    auto at = f.point("at");
    const double seconds = f.number("seconds", Need::optional, 0, 60).value_or(0.1);
    if (!ctx || !at) return;
    auto* mt = framework();
    auto device = mt ? findDevice(*mt, options.device) : nullptr;
    if (!device) return skipped(*ctx, "no trackpad attached");
    auto& scene = ctx->desktop.extension<TouchScene>();
    const double interval = 1.0 / options.frameRate;
    auto fingers = fingersAt(fingersFor(scene, device.get(), options.fingers), *at, options.spacing);
    const int frames = std::max(1, static_cast<int>(std::lround(seconds * options.frameRate)));
    for (int i = 0; i < frames; ++i) deliver(*mt, device, fingers, interval);
    scene.resting[device.get()].fingers = fingers;
    ctx->log.record("fingersDown",
                    {{"device", device->name}, {"fingers", options.fingers}, {"at", pointJson(*at)}, {"frames", frames}});
}

// A slide's path, walked at an even speed: a fraction of its length gives a point on it.
class Polyline {
public:
    explicit Polyline(const std::vector<Point>& points) : points_(points), lengths_{0} {
        for (std::size_t i = 1; i < points_.size(); ++i) {
            const double dx = points_[i].x - points_[i - 1].x;
            const double dy = points_[i].y - points_[i - 1].y;
            lengths_.push_back(lengths_.back() + std::hypot(dx, dy));
        }
    }
    Point pointAt(double fraction) const {
        const double target = fraction * lengths_.back();
        std::size_t i = 1;
        while (i + 1 < lengths_.size() && lengths_[i] < target) ++i;
        const double span = lengths_[i] - lengths_[i - 1];
        const double u = span > 0 ? (target - lengths_[i - 1]) / span : 1.0;
        const Point a = points_[i - 1];
        const Point b = points_[i];
        return Point{a.x + (b.x - a.x) * u, a.y + (b.y - a.y) * u};
    }

private:
    const std::vector<Point>& points_;
    std::vector<double> lengths_;
};

void slideStep(ScenarioFields& f, StepContext* ctx) {
    auto options = readFingerOptions(f);
    auto path = readPath(f);
    const double seconds = f.number("seconds", Need::optional, 0.001, 60).value_or(0.25);
    const bool lift = f.boolean("lift", Need::optional).value_or(true);
    if (!ctx || !path) return;
    auto* mt = framework();
    auto device = mt ? findDevice(*mt, options.device) : nullptr;
    if (!device) return skipped(*ctx, "no trackpad attached");
    auto& scene = ctx->desktop.extension<TouchScene>();
    const double interval = 1.0 / options.frameRate;
    const auto ids = fingersFor(scene, device.get(), options.fingers);

    const Polyline line(*path);
    const int steps = std::max(1, static_cast<int>(std::lround(seconds * options.frameRate)));
    std::vector<SimFinger> fingers;
    for (int i = 0; i <= steps; ++i) {
        fingers = fingersAt(ids, line.pointAt(static_cast<double>(i) / steps), options.spacing);
        deliver(*mt, device, fingers, interval);
    }
    scene.resting[device.get()].fingers = fingers;
    ctx->log.record("fingersSlid", {{"device", device->name},
                                    {"fingers", options.fingers},
                                    {"from", pointJson(path->front())},
                                    {"to", pointJson(path->back())},
                                    {"frames", steps + 1}});
    if (lift) {
        liftAll(scene, *mt, device, interval);
        ctx->log.record("fingersLifted", {{"device", device->name}});
    }
}

void liftStep(ScenarioFields& f, StepContext* ctx) {
    auto name = f.string("device", Need::optional);
    if (!ctx) return;
    auto* mt = framework();
    auto device = mt ? findDevice(*mt, name) : nullptr;
    if (!device) return skipped(*ctx, "no trackpad attached");
    liftAll(ctx->desktop.extension<TouchScene>(), *mt, device, 1.0 / 90);
    ctx->log.record("fingersLifted", {{"device", device->name}});
}

void scrollStep(ScenarioFields& f, StepContext* ctx) {
    const double deltaY = f.number("deltaY", Need::optional, -1e4, 1e4).value_or(-3);
    static const std::map<std::string, ScrollPhase> phases = {
        {"began", ScrollPhase::began}, {"changed", ScrollPhase::changed}, {"ended", ScrollPhase::ended}};
    const auto phaseName = f.string("phase", Need::optional).value_or("changed");
    auto phase = phases.find(phaseName);
    if (phase == phases.end()) f.fail("phase", "expected \"began\", \"changed\" or \"ended\"");
    if (!ctx || phase == phases.end()) return;
    auto* stream = eventStream();
    if (!stream) return skipped(*ctx, "no event stream");
    recordTapResult(*ctx, "scrollEvent", stream->post(SimEventTap::scroll(deltaY, phase->second)),
                    {{"deltaY", deltaY}, {"phase", phaseName}});
}

void systemGestureStep(ScenarioFields& f, StepContext* ctx) {
    static const std::map<std::string, std::int32_t> types = {{"rotate", event_type::rotate},
                                                               {"gesture", event_type::gesture},
                                                               {"magnify", event_type::magnify},
                                                               {"swipe", event_type::swipe},
                                                               {"smartMagnify", event_type::smartMagnify}};
    auto name = f.string("type");
    auto type = name ? types.find(*name) : types.end();
    if (name && type == types.end()) f.fail("type", "unknown system gesture " + ScenarioFields::quoted(*name));
    if (!ctx || type == types.end()) return;
    auto* stream = eventStream();
    if (!stream) return skipped(*ctx, "no event stream");
    recordTapResult(*ctx, "systemGestureEvent", stream->post(SimEventTap::systemGesture(type->second)),
                    {{"type", *name}});
}

void keyStep(ScenarioFields& f, StepContext* ctx) {
    auto keyCode = f.integer("keyCode", Need::required, 0, 127);
    const auto flags = f.integer("flags", Need::optional, 0, INT64_MAX).value_or(0);
    const auto repeats = f.integer("repeats", Need::optional, 0, 100).value_or(0);
    if (!ctx || !keyCode) return;
    auto* stream = eventStream();
    if (!stream) return skipped(*ctx, "no event stream");
    for (std::int64_t i = 0; i <= repeats; ++i) {
        const auto decision = stream->post(SimEventTap::keyDown(*keyCode, static_cast<std::uint64_t>(flags), i > 0));
        recordTapResult(*ctx, "keyDown", decision, {{"keyCode", *keyCode}, {"autoRepeat", i > 0}});
        // A held key repeats about every 33 ms.
        runtime::MainLoop::main().advance(i == 0 ? 0.25 : 0.033);
    }
}

constexpr NamedStep kTouchSteps[] = {
    {"attachTrackpad", attachTrackpadStep},
    {"detachTrackpad", detachTrackpadStep},
    {"touch", touchStep},
    {"slide", slideStep},
    {"lift", liftStep},
    {"scroll", scrollStep},
    {"systemGesture", systemGestureStep},
    {"key", keyStep},
};

}  // namespace

void registerTouchSteps(ScenarioRegistry& r) {
    r.registerSection("trackpads", trackpadsSection);
    r.registerSteps(kTouchSteps);
}

}  // namespace quillmar::platform::sim
