#pragma once
// The simulated multitouch framework: trackpads and multitouch mice that come and go, each with
// a family id and a registry service, started and stopped through the bound functions, and
// contact frames delivered either synchronously on the calling thread (tests that step frame by
// frame) or on a real background thread, as the hardware does.
//
//   auto& mt = SimMultitouchFramework::install();        // also installs SimDeviceNotifications
//   auto pad = mt.addDevice(SimMultitouchDeviceInfo::trackpad("Built-in Trackpad"));
//   mt.deliverFrame(pad.get(), simTouches({{1, 0.4f, 0.5f}, {2, 0.5f, 0.5f}, {3, 0.6f, 0.5f}}), 1.0);
//   mt.deliverOnFrameThread(pad.get(), frames);           // later: mt.waitForFrameThread()
//
// Devices, symbols and registration are main-thread business; frame delivery may run on any
// thread. A frame reaches a device's callbacks only while the device runs.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/device_notifications.h"
#include "platform/multitouch_framework.h"

namespace quillmar::platform {

// A simulated multitouch device.
struct MultitouchDevice {
    std::int32_t familyID = 0;
    IOService service = 0;
    std::string name;
    bool attached = true;
    std::atomic<bool> running{false};
    int startCount = 0;
    std::mutex callbackMutex;  // held while frames are delivered, so unregistering waits for them
    std::vector<ContactFrameCallback> callbacks;
    std::int32_t nextFrameNumber = 0;
};

}  // namespace quillmar::platform

namespace quillmar::platform::sim {

class SimDeviceNotifications;

struct SimMultitouchDeviceInfo {
    std::string name;
    std::int32_t familyID = 128;
    bool hasService = true;
    std::vector<std::string> serviceClasses;       // the classes its registry service conforms to
    std::map<std::string, RegistryValue> properties;  // "Product", ...
    bool familyReadFails = false;                  // the family id call answers with an error

    static SimMultitouchDeviceInfo trackpad(const std::string& product);
    // A multitouch mouse: family 112 and the mouse's event driver class.
    static SimMultitouchDeviceInfo mouse(const std::string& product);
};

// One finger of a frame as the scene describes it.
struct SimFinger {
    std::int32_t id = 1;
    float x = 0.5f;
    float y = 0.5f;
    float size = 1.0f;    // zTotal
    std::int32_t state = 4;
};

// A packed frame of touches for the fingers, in order.
std::vector<MTTouch> simTouches(const std::vector<SimFinger>& fingers, double timestamp = 0);

struct SimContactFrame {
    std::vector<MTTouch> touches;
    double timestamp = 0;
};

class SimMultitouchFramework final : public MultitouchFramework {
public:
    SimMultitouchFramework();
    ~SimMultitouchFramework() override;

    // Installs a fresh framework (and, when none is installed, fresh device notifications).
    static SimMultitouchFramework& install();

    std::optional<MultitouchFunctions> open() override;

    // ---- The framework itself (read at open()) ------------------------------------------------
    void setOpenable(bool openable) { openable_ = openable; }
    void setSymbolAvailable(MultitouchSymbol symbol, bool available);
    // The list call returns null while set.
    void setListReturnsNull(bool null) { listReturnsNull_ = null; }

    // ---- Devices (main thread) ------------------------------------------------------------------
    // Attaches a device at the end of the list and announces its service.
    MTDeviceHandle addDevice(const SimMultitouchDeviceInfo& info);
    // Detaches a device: it leaves the list, stops and sends nothing more; references to it stay
    // valid. Its service is announced as gone.
    void removeDevice(MTDeviceRef device);
    // The device stops on its own (after sleep, say).
    void stopBySystem(MTDeviceRef device) { device->running = false; }
    std::vector<MTDeviceHandle> devices() const { return devices_; }
    static bool isRunning(MTDeviceRef device) { return device->running; }
    static std::size_t callbackCount(MTDeviceRef device);
    static int startCount(MTDeviceRef device) { return device->startCount; }

    // ---- Frames ---------------------------------------------------------------------------------
    // Delivers one frame to the device's callbacks on the calling thread. False when the device
    // does not run or nobody listens.
    bool deliverFrame(MTDeviceRef device, const std::vector<MTTouch>& touches, double timestamp);
    // Delivers the frames in order on the framework's thread, as fast as they are taken.
    void deliverOnFrameThread(MTDeviceHandle device, std::vector<SimContactFrame> frames);
    // Blocks until the framework's thread has delivered everything handed to it.
    void waitForFrameThread();
    // Whether the framework's thread has nothing left to deliver.
    bool isFrameThreadIdle() const;
    // Frames delivered so far by the framework's thread.
    std::uint64_t framesDeliveredOnThread() const;

private:
    struct Job {
        MTDeviceHandle device;
        std::vector<SimContactFrame> frames;
    };
    void frameThreadMain();
    SimDeviceNotifications* registry() const;

    bool openable_ = true;
    bool listReturnsNull_ = false;
    std::set<MultitouchSymbol> missing_;
    std::vector<MTDeviceHandle> devices_;
    IOService nextService_ = 0x1000;

    mutable std::mutex jobMutex_;
    std::condition_variable jobReady_;
    std::condition_variable jobsDone_;
    std::deque<Job> jobs_;
    bool busy_ = false;
    bool quit_ = false;
    std::uint64_t deliveredOnThread_ = 0;
    std::thread frameThread_;
};

}  // namespace quillmar::platform::sim
