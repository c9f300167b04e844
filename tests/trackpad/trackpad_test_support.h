#pragma once
// Helpers shared by the trackpad tests: snapshots, the recorded gesture events, and a world with
// the simulated trackpad hardware.

#include <string>
#include <vector>

#include "platform/sim/sim_event_tap.h"
#include "platform/sim/sim_multitouch.h"
#include "settings/switcher_settings.h"
#include "support/fresh_world.h"
#include "trackpad/trackpad_touch_monitor.h"

namespace quillmar::testing {

// n fingers with identifiers firstID... at the centroid (x, y).
inline CoalescedTouchSnapshot snapshot(int n, double x, double y, double timestamp = 0, int firstID = 1) {
    CoalescedTouchSnapshot s;
    s.count = n;
    s.avgX = n > 0 ? x : 0;
    s.avgY = n > 0 ? y : 0;
    s.allNearTop = n == 0 || y >= 0.72;
    for (int i = 0; i < n; ++i) s.ids.insert(firstID + i);
    s.timestamp = timestamp;
    return s;
}

// The callbacks as the Switch Bar would see them, in order.
struct GestureLog {
    std::vector<GestureEvent> events;

    void attach(TrackpadTouchMonitor& m) {
        m.onGestureStart = [this] { events.push_back({GestureEvent::Kind::start, 0}); };
        m.onGestureScrub = [this](double d) { events.push_back({GestureEvent::Kind::scrub, d}); };
        m.onGestureCommit = [this] { events.push_back({GestureEvent::Kind::commit, 0}); };
        m.onGestureCancel = [this] { events.push_back({GestureEvent::Kind::cancel, 0}); };
        m.onGestureCrossAxisSwipe = [this](int d) {
            events.push_back({GestureEvent::Kind::crossAxisSwipe, static_cast<double>(d)});
        };
    }
    std::vector<GestureEvent::Kind> kinds() const {
        std::vector<GestureEvent::Kind> out;
        for (const auto& e : events) out.push_back(e.kind);
        return out;
    }
    int count(GestureEvent::Kind k) const {
        int n = 0;
        for (const auto& e : events) n += e.kind == k;
        return n;
    }
    void clear() { events.clear(); }
};

using K = GestureEvent::Kind;

class TrackpadTest : public FreshWorldTest {
protected:
    SwitcherSettings& settings() { return SwitcherSettings::shared(); }
    TrackpadTouchMonitor& monitor() {
        auto& m = TrackpadTouchMonitor::shared();
        if (!attached_) {
            log.attach(m);
            attached_ = true;
        }
        return m;
    }
    template <class Phase>
    bool phaseIs() {
        return std::holds_alternative<Phase>(monitor().phase());
    }
    void feed(const CoalescedTouchSnapshot& s) { monitor().advanceGesture(s); }

    GestureLog log;

private:
    bool attached_ = false;
};

}  // namespace quillmar::testing

namespace quillmar::testing {

// A world with the simulated framework (and registry), one trackpad, and a started monitor.
class SimTrackpadTest : public TrackpadTest {
protected:
    void SetUp() override {
        TrackpadTest::SetUp();
        mt = &platform::sim::SimMultitouchFramework::install();
        pad = mt->addDevice(platform::sim::SimMultitouchDeviceInfo::trackpad("Built-in Trackpad"));
        settings().triggerStyle = TriggerStyle::immediateHorizontalSlide;
        settings().fingerCount = 3;
    }
    void TearDown() override {
        pad.reset();
        TrackpadTest::TearDown();
    }
    TrackpadTouchMonitor& started() {
        auto& m = monitor();
        m.start();
        runUntilIdle();
        return m;
    }
    // One frame from the framework, on this thread; the main loop does not run.
    void frame(const std::vector<platform::sim::SimFinger>& fingers, platform::MTDeviceRef device = nullptr) {
        now_ += 1.0 / 90;
        mt->deliverFrame(device ? device : pad.get(), platform::sim::simTouches(fingers, now_), now_);
    }
    static std::vector<platform::sim::SimFinger> three(float x, float y = 0.5f, int firstID = 1) {
        return {{firstID, x - 0.05f, y}, {firstID + 1, x, y}, {firstID + 2, x + 0.05f, y}};
    }

    platform::sim::SimMultitouchFramework* mt = nullptr;
    platform::MTDeviceHandle pad;

private:
    double now_ = 0;
};

}  // namespace quillmar::testing
