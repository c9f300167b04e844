#pragma once
// The private multitouch framework, opened at run time: the list of multitouch devices, the
// per-device contact-frame callback, starting and stopping a device, and the two facts used to
// tell a trackpad from a multitouch mouse (its family id and its registry service).
//
// Every function is optional: a backend that cannot open the framework binds nothing, and one
// that lacks a symbol leaves that function empty; callers test each function before use and
// leave the feature that needs it off.
//
// Frames arrive on the framework's own thread, one call of the registered callback per scan
// of a running device. Unregistering a callback waits for a call of it already in flight, so
// once unregister returns the callback is not running for that device.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "runtime/world.h"

namespace quillmar::platform {

struct MTPoint {
    float x = 0;
    float y = 0;
};

struct MTVector {
    MTPoint position;
    MTPoint velocity;
};

// One finger of a contact frame: a packed little-endian record of 96 bytes. Positions are
// normalised: x from 0 (left) to 1 (right), y from 0 (near edge) to 1 (far edge).
struct MTTouch {
    std::int32_t frame = 0;
    std::int32_t reserved = 0;
    double timestamp = 0;
    std::int32_t identifier = 0;
    std::int32_t state = 0;  // 3 and 4: touching
    std::int32_t fingerId = 0;
    std::int32_t handId = 0;
    MTVector normalizedVector;
    float zTotal = 0;  // contact size
    std::int32_t field9 = 0;
    float angle = 0;
    float majorAxis = 0;
    float minorAxis = 0;
    MTVector absoluteVector;
    std::int32_t field14 = 0;
    std::int32_t field15 = 0;
    float zDensity = 0;
};
static_assert(sizeof(MTTouch) == 96);
static_assert(offsetof(MTTouch, timestamp) == 8);
static_assert(offsetof(MTTouch, identifier) == 16);
static_assert(offsetof(MTTouch, state) == 20);
static_assert(offsetof(MTTouch, normalizedVector) == 32);
static_assert(offsetof(MTTouch, zTotal) == 48);
static_assert(offsetof(MTTouch, absoluteVector) == 68);
static_assert(offsetof(MTTouch, zDensity) == 92);

// A multitouch device, opaque to its users; the backend defines it.
struct MultitouchDevice;
using MTDeviceRef = MultitouchDevice*;
// A reference that keeps a device object alive.
using MTDeviceHandle = std::shared_ptr<MultitouchDevice>;

// (device, touches, touch count, timestamp in seconds, frame number) -> 0. No context pointer.
using ContactFrameCallback = std::int32_t (*)(MTDeviceRef, const MTTouch*, std::int32_t, double, std::int32_t);

// Registry service of a device (0: none).
using IOService = std::uint32_t;

enum class MultitouchSymbol {
    createList,
    createDefault,
    registerContactFrameCallback,
    unregisterContactFrameCallback,
    deviceStart,
    deviceStop,
    deviceIsRunning,
    deviceGetService,
    deviceGetFamilyID,
};

constexpr std::string_view symbolName(MultitouchSymbol s) {
    switch (s) {
        case MultitouchSymbol::createList: return "MTDeviceCreateList";
        case MultitouchSymbol::createDefault: return "MTDeviceCreateDefault";
        case MultitouchSymbol::registerContactFrameCallback: return "MTRegisterContactFrameCallback";
        case MultitouchSymbol::unregisterContactFrameCallback: return "MTUnregisterContactFrameCallback";
        case MultitouchSymbol::deviceStart: return "MTDeviceStart";
        case MultitouchSymbol::deviceStop: return "MTDeviceStop";
        case MultitouchSymbol::deviceIsRunning: return "MTDeviceIsRunning";
        case MultitouchSymbol::deviceGetService: return "MTDeviceGetService";
        case MultitouchSymbol::deviceGetFamilyID: return "MTDeviceGetFamilyID";
    }
    return {};
}

// The bound functions; an empty one stands for a symbol the framework does not export.
struct MultitouchFunctions {
    // Every multitouch device in the system's order; nullopt for a null list. Entries may be null.
    std::function<std::optional<std::vector<MTDeviceHandle>>()> createList;
    // The default device, or null.
    std::function<MTDeviceHandle()> createDefault;
    std::function<void(MTDeviceRef, ContactFrameCallback)> registerContactFrameCallback;
    std::function<void(MTDeviceRef, ContactFrameCallback)> unregisterContactFrameCallback;
    std::function<void(MTDeviceRef, std::int32_t mode)> deviceStart;
    std::function<void(MTDeviceRef)> deviceStop;
    // 0 means stopped.
    std::function<std::int32_t(MTDeviceRef)> deviceIsRunning;
    // 0 means no service.
    std::function<IOService(MTDeviceRef)> deviceGetService;
    // Writes the family id; returns 0 on success.
    std::function<std::int32_t(MTDeviceRef, std::int32_t* familyID)> deviceGetFamilyID;
};

class MultitouchFramework {
public:
    static constexpr const char* frameworkPath =
        "/System/Library/PrivateFrameworks/MultitouchSupport.framework/MultitouchSupport";

    virtual ~MultitouchFramework() = default;

    // The installed backend, or null when this system has no multitouch framework at all.
    static MultitouchFramework* installed() { return runtime::World::find<MultitouchFramework>(); }

    // Opens the framework and looks up its symbols: nullopt when it cannot be opened.
    virtual std::optional<MultitouchFunctions> open() = 0;
};

}  // namespace quillmar::platform
