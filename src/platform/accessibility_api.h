#pragma once
// The Accessibility interface: the process's trust, elements of other applications (application,
// windows, buttons, menus), their attributes and actions, and per-element messaging timeouts.
//
// Every request to another application is a message to that process: it costs whatever the
// application takes to answer, bounded by the messaging timeout of the element reference it goes
// through (the system-wide default when the reference has none of its own). A request that runs
// into its timeout fails with AXError::cannotComplete.
//
//   auto& ax = AccessibilityApi::shared();
//   AXElement app = ax.createApplication(pid);
//   ax.setMessagingTimeout(app, 0.1f);
//   AXReadResult r = ax.copyAttributeValue(app, ax::kWindows);
//   if (r.ok() && r.value && r.value->array()) { ... }
//
// AccessibilityApi::shared() returns the installed backend (World::install<AccessibilityApi>);
// without one the process is not trusted and every request fails with AXError::apiDisabled.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "platform/geometry.h"

namespace quillmar::platform {

// Result codes, with the platform's values.
enum class AXError : std::int32_t {
    success = 0,
    failure = -25200,
    illegalArgument = -25201,
    invalidUIElement = -25202,
    cannotComplete = -25204,
    attributeUnsupported = -25205,
    actionUnsupported = -25206,
    notImplemented = -25208,
    apiDisabled = -25211,
    noValue = -25212,
};

// The distributed notification the system posts when any process's Accessibility trust changes.
inline constexpr const char kAccessibilityApiChangedNotification[] = "com.apple.accessibility.api";

namespace ax {
// Attributes.
inline constexpr const char kRole[] = "AXRole";
inline constexpr const char kSubrole[] = "AXSubrole";
inline constexpr const char kTitle[] = "AXTitle";
inline constexpr const char kWindows[] = "AXWindows";
inline constexpr const char kMinimized[] = "AXMinimized";
inline constexpr const char kPosition[] = "AXPosition";
inline constexpr const char kSize[] = "AXSize";
inline constexpr const char kMain[] = "AXMain";
inline constexpr const char kFocused[] = "AXFocused";
inline constexpr const char kFrontmost[] = "AXFrontmost";
inline constexpr const char kFocusedWindow[] = "AXFocusedWindow";
inline constexpr const char kMainWindow[] = "AXMainWindow";
inline constexpr const char kCloseButton[] = "AXCloseButton";
inline constexpr const char kMenuBar[] = "AXMenuBar";
inline constexpr const char kChildren[] = "AXChildren";
inline constexpr const char kEnabled[] = "AXEnabled";
inline constexpr const char kMenuItemCmdChar[] = "AXMenuItemCmdChar";
inline constexpr const char kMenuItemCmdModifiers[] = "AXMenuItemCmdModifiers";
// Actions.
inline constexpr const char kRaiseAction[] = "AXRaise";
inline constexpr const char kPressAction[] = "AXPress";
// Roles and subroles.
inline constexpr const char kApplicationRole[] = "AXApplication";
inline constexpr const char kWindowRole[] = "AXWindow";
inline constexpr const char kButtonRole[] = "AXButton";
inline constexpr const char kMenuBarRole[] = "AXMenuBar";
inline constexpr const char kMenuBarItemRole[] = "AXMenuBarItem";
inline constexpr const char kMenuRole[] = "AXMenu";
inline constexpr const char kMenuItemRole[] = "AXMenuItem";
inline constexpr const char kStandardWindowSubrole[] = "AXStandardWindow";
inline constexpr const char kDialogSubrole[] = "AXDialog";
inline constexpr const char kFloatingWindowSubrole[] = "AXFloatingWindow";
inline constexpr const char kCloseButtonSubrole[] = "AXCloseButton";
}  // namespace ax

// A reference to one user-interface element of some process. References are cheap to copy;
// copies share one messaging timeout. Two references are equal (and hash alike) when they name
// the same element, whatever their timeouts.
class AXElement {
public:
    AXElement() = default;  // the null reference
    // Backends make references: pid of the owning process (0 for the system-wide element) and the
    // backend's identity of the element.
    AXElement(std::int32_t pid, std::uint64_t identity)
        : node_(std::make_shared<Node>(Node{pid, identity, 0.0f})) {}

    explicit operator bool() const { return node_ != nullptr; }
    std::int32_t pid() const { return node_ ? node_->pid : 0; }
    std::uint64_t identity() const { return node_ ? node_->identity : 0; }
    std::size_t hash() const {
        if (!node_) return 0;
        return std::hash<std::uint64_t>{}(node_->identity * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint32_t>(node_->pid));
    }
    // This reference's own messaging timeout in seconds; 0 when it has none.
    float messagingTimeout() const { return node_ ? node_->timeout : 0.0f; }

    friend bool operator==(const AXElement& a, const AXElement& b) {
        if (!a.node_ || !b.node_) return !a.node_ && !b.node_;
        return a.node_->pid == b.node_->pid && a.node_->identity == b.node_->identity;
    }

private:
    friend class AccessibilityApi;
    struct Node {
        std::int32_t pid;
        std::uint64_t identity;
        float timeout;
    };
    std::shared_ptr<Node> node_;
};

struct AXValue;
using AXArray = std::vector<AXValue>;

// An attribute value. Point and Size are the wrapped geometry values (what the platform boxes
// as a point or size value); AXError appears inside the reply of a batch read for an attribute
// that could not be read.
struct AXValue {
    using Storage = std::variant<bool, std::int64_t, double, std::string, Point, Size, AXElement, AXArray, AXError>;
    Storage storage;

    AXValue() : storage(false) {}
    template <class T>
        requires(!std::is_same_v<std::decay_t<T>, AXValue> && std::is_constructible_v<Storage, T>)
    AXValue(T v) : storage(std::move(v)) {}  // NOLINT(google-explicit-constructor)
    AXValue(const char* s) : storage(std::string(s)) {}  // NOLINT(google-explicit-constructor)
    AXValue(int v) : storage(static_cast<std::int64_t>(v)) {}  // NOLINT(google-explicit-constructor)

    template <class T>
    const T* as() const {
        return std::get_if<T>(&storage);
    }
    const bool* boolean() const { return as<bool>(); }
    const std::string* string() const { return as<std::string>(); }
    const AXElement* element() const { return as<AXElement>(); }
    const AXArray* array() const { return as<AXArray>(); }
    const Point* point() const { return as<Point>(); }
    const Size* size() const { return as<Size>(); }
    const std::int64_t* integer() const { return as<std::int64_t>(); }
};

// The answer of a read: an error code, and on success the value (a successful read may still
// carry no value).
struct AXReadResult {
    AXError error = AXError::failure;
    std::optional<AXValue> value;
    bool ok() const { return error == AXError::success; }
};

// The private call that gives the window server's number of a window element.
using AXWindowNumberCall = std::function<AXError(const AXElement& window, std::uint32_t* windowNumber)>;

class AccessibilityApi {
public:
    // The messaging timeout a reference has when neither it nor the system-wide element was given
    // one.
    static constexpr float kPlatformDefaultTimeout = 6.0f;

    virtual ~AccessibilityApi() = default;
    static AccessibilityApi& shared();

    // Trust, read afresh at each call.
    virtual bool isProcessTrusted() = 0;
    // As isProcessTrusted(); with prompt set and the process untrusted, the system also shows its
    // request for the permission (the answer is still the trust at this moment).
    virtual bool isProcessTrustedWithOptions(bool prompt) = 0;

    // A fresh reference to the application element of a process (no message is sent).
    virtual AXElement createApplication(std::int32_t pid) = 0;
    // The system-wide element; its messaging timeout is the default of every reference without
    // one of its own.
    AXElement createSystemWide() { return AXElement(0, 0); }

    // Sets a reference's timeout (seconds, > 0; 0 clears it). A null reference or a negative or
    // non-finite value is refused with illegalArgument.
    AXError setMessagingTimeout(const AXElement& element, float seconds);
    // The timeout that bounds a request through this reference.
    double effectiveTimeout(const AXElement& element) const;

    virtual AXReadResult copyAttributeValue(const AXElement& element, const std::string& attribute) = 0;
    // One message for several attributes. The value is an array with one entry per name, in order;
    // an attribute that could not be read holds its AXError.
    virtual AXReadResult copyMultipleAttributeValues(const AXElement& element, const std::vector<std::string>& attributes,
                                                     int options) = 0;
    virtual AXError setAttributeValue(const AXElement& element, const std::string& attribute, const AXValue& value) = 0;
    virtual AXError performAction(const AXElement& element, const std::string& action) = 0;

    // The private window-number call; empty when this system does not provide it.
    virtual AXWindowNumberCall lookupWindowNumberCall() = 0;

private:
    float defaultTimeout_ = kPlatformDefaultTimeout;
};

}  // namespace quillmar::platform

template <>
struct std::hash<quillmar::platform::AXElement> {
    std::size_t operator()(const quillmar::platform::AXElement& e) const noexcept { return e.hash(); }
};
