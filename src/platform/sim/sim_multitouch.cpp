#include "platform/sim/sim_multitouch.h"

#include <algorithm>

#include "platform/sim/sim_device_notifications.h"
#include "runtime/world.h"

namespace quillmar::platform::sim {

SimMultitouchDeviceInfo SimMultitouchDeviceInfo::trackpad(const std::string& product) {
    SimMultitouchDeviceInfo info;
    info.name = product;
    info.familyID = 128;
    info.serviceClasses = {DeviceNotifications::multitouchDeviceClass, "AppleMultitouchTrackpadHIDEventDriver"};
    info.properties["Product"] = product;
    return info;
}

SimMultitouchDeviceInfo SimMultitouchDeviceInfo::mouse(const std::string& product) {
    SimMultitouchDeviceInfo info;
    info.name = product;
    info.familyID = 112;
    info.serviceClasses = {DeviceNotifications::multitouchDeviceClass, "AppleMultitouchMouseHIDEventDriver"};
    info.properties["Product"] = product;
    return info;
}

std::vector<MTTouch> simTouches(const std::vector<SimFinger>& fingers, double timestamp) {
    std::vector<MTTouch> touches;
    touches.reserve(fingers.size());
    for (const auto& f : fingers) {
        MTTouch t;
        t.timestamp = timestamp;
        t.identifier = f.id;
        t.state = f.state;
        t.fingerId = f.id;
        t.normalizedVector.position = {f.x, f.y};
        t.zTotal = f.size;
        t.majorAxis = 8;
        t.minorAxis = 7;
        t.zDensity = f.size;
        touches.push_back(t);
    }
    return touches;
}

SimMultitouchFramework::SimMultitouchFramework() = default;

SimMultitouchFramework::~SimMultitouchFramework() {
    {
        std::lock_guard lock(jobMutex_);
        quit_ = true;
    }
    jobReady_.notify_all();
    if (frameThread_.joinable()) frameThread_.join();
}

SimMultitouchFramework& SimMultitouchFramework::install() {
    if (!runtime::World::find<DeviceNotifications>()) SimDeviceNotifications::install();
    auto framework = std::make_unique<SimMultitouchFramework>();
    auto& installed = *framework;
    runtime::World::install<MultitouchFramework>(std::move(framework));
    return installed;
}

SimDeviceNotifications* SimMultitouchFramework::registry() const {
    return dynamic_cast<SimDeviceNotifications*>(DeviceNotifications::installed());
}

void SimMultitouchFramework::setSymbolAvailable(MultitouchSymbol symbol, bool available) {
    if (available) {
        missing_.erase(symbol);
    } else {
        missing_.insert(symbol);
    }
}

std::optional<MultitouchFunctions> SimMultitouchFramework::open() {
    if (!openable_) return std::nullopt;
    auto has = [this](MultitouchSymbol s) { return !missing_.count(s); };
    MultitouchFunctions f;
    using S = MultitouchSymbol;
    if (has(S::createList)) {
        f.createList = [this]() -> std::optional<std::vector<MTDeviceHandle>> {
            if (listReturnsNull_) return std::nullopt;
            return devices_;
        };
    }
    if (has(S::createDefault)) {
        f.createDefault = [this]() -> MTDeviceHandle { return devices_.empty() ? nullptr : devices_.front(); };
    }
    if (has(S::registerContactFrameCallback)) {
        f.registerContactFrameCallback = [](MTDeviceRef d, ContactFrameCallback cb) {
            std::lock_guard lock(d->callbackMutex);
            d->callbacks.push_back(cb);
        };
    }
    if (has(S::unregisterContactFrameCallback)) {
        f.unregisterContactFrameCallback = [](MTDeviceRef d, ContactFrameCallback cb) {
            std::lock_guard lock(d->callbackMutex);
            std::erase(d->callbacks, cb);
        };
    }
    if (has(S::deviceStart)) {
        f.deviceStart = [](MTDeviceRef d, std::int32_t) {
            if (!d->attached) return;
            d->running = true;
            ++d->startCount;
        };
    }
    if (has(S::deviceStop)) {
        f.deviceStop = [](MTDeviceRef d) { d->running = false; };
    }
    if (has(S::deviceIsRunning)) {
        f.deviceIsRunning = [](MTDeviceRef d) -> std::int32_t { return d->running ? 1 : 0; };
    }
    if (has(S::deviceGetService)) {
        f.deviceGetService = [](MTDeviceRef d) { return d->service; };
    }
    if (has(S::deviceGetFamilyID)) {
        f.deviceGetFamilyID = [](MTDeviceRef d, std::int32_t* family) -> std::int32_t {
            if (!family || d->familyID < 0) return -1;
            *family = d->familyID;
            return 0;
        };
    }
    return f;
}

MTDeviceHandle SimMultitouchFramework::addDevice(const SimMultitouchDeviceInfo& info) {
    auto device = std::make_shared<MultitouchDevice>();
    device->familyID = info.familyReadFails ? -1 : info.familyID;
    device->name = info.name;
    if (info.hasService) device->service = ++nextService_;
    devices_.push_back(device);
    if (auto* r = registry(); r && device->service != 0)
        r->publishService(device->service, info.serviceClasses, info.properties);
    return device;
}

void SimMultitouchFramework::removeDevice(MTDeviceRef device) {
    auto it = std::find_if(devices_.begin(), devices_.end(), [&](const auto& d) { return d.get() == device; });
    if (it == devices_.end()) return;
    device->attached = false;
    device->running = false;
    const IOService service = device->service;
    devices_.erase(it);
    if (auto* r = registry(); r && service != 0) r->terminateService(service);
}

std::size_t SimMultitouchFramework::callbackCount(MTDeviceRef device) {
    std::lock_guard lock(device->callbackMutex);
    return device->callbacks.size();
}

bool SimMultitouchFramework::deliverFrame(MTDeviceRef device, const std::vector<MTTouch>& touches, double timestamp) {
    if (!device || !device->running) return false;
    std::lock_guard lock(device->callbackMutex);
    if (device->callbacks.empty()) return false;
    const std::int32_t frame = device->nextFrameNumber++;
    for (auto cb : device->callbacks)
        cb(device, touches.empty() ? nullptr : touches.data(), static_cast<std::int32_t>(touches.size()), timestamp, frame);
    return true;
}

void SimMultitouchFramework::deliverOnFrameThread(MTDeviceHandle device, std::vector<SimContactFrame> frames) {
    std::lock_guard lock(jobMutex_);
    if (!frameThread_.joinable()) frameThread_ = std::thread([this] { frameThreadMain(); });
    jobs_.push_back(Job{std::move(device), std::move(frames)});
    jobReady_.notify_one();
}

void SimMultitouchFramework::frameThreadMain() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(jobMutex_);
            jobReady_.wait(lock, [&] { return quit_ || !jobs_.empty(); });
            if (quit_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
            busy_ = true;
        }
        std::uint64_t delivered = 0;
        for (const auto& frame : job.frames) {
            deliverFrame(job.device.get(), frame.touches, frame.timestamp);
            ++delivered;
        }
        {
            std::lock_guard lock(jobMutex_);
            busy_ = false;
            deliveredOnThread_ += delivered;
        }
        jobsDone_.notify_all();
    }
}

void SimMultitouchFramework::waitForFrameThread() {
    std::unique_lock lock(jobMutex_);
    jobsDone_.wait(lock, [&] { return jobs_.empty() && !busy_; });
}

bool SimMultitouchFramework::isFrameThreadIdle() const {
    std::lock_guard lock(jobMutex_);
    return jobs_.empty() && !busy_;
}

std::uint64_t SimMultitouchFramework::framesDeliveredOnThread() const {
    std::lock_guard lock(jobMutex_);
    return deliveredOnThread_;
}

}  // namespace quillmar::platform::sim
