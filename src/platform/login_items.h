#pragma once
// The system's login-item registration of the application itself: whether it starts at login,
// registering and unregistering it, and opening the Login Items pane of the system settings,
// where the user approves a registration that the system holds back.
//
// LoginItems::shared() returns the installed backend (World::install<LoginItems>); when none is
// installed it is a host without a login-item service: the status is notFound and every
// registration attempt fails with a reason.

#include <optional>
#include <string>

namespace quillmar::platform {

// The registration state the system reports; the values are those of the system service.
enum class LoginItemStatus { notRegistered = 0, enabled = 1, requiresApproval = 2, notFound = 3 };

// Why a register or unregister call failed.
struct LoginItemError {
    int code = 0;
    std::string message;
};

class LoginItems {
public:
    virtual ~LoginItems() = default;

    static LoginItems& shared();

    virtual LoginItemStatus status() const = 0;
    // Registers the app to open at login. The system may accept it pending the user's approval
    // (status requiresApproval afterwards). Returns the error when it refused.
    virtual std::optional<LoginItemError> registerApp() = 0;
    // Removes the registration (also one still waiting for approval).
    virtual std::optional<LoginItemError> unregisterApp() = 0;
    // Opens the Login Items pane of the system settings.
    virtual void openSystemSettingsLoginItems() = 0;
};

}  // namespace quillmar::platform
