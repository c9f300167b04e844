#pragma once
// The simulated login-item service: one registration of the app, driven by the scene. A
// registration is accepted, held for the user's approval, or refused, as the scene chooses;
// approve() plays the user approving it in the Login Items pane.

#include "platform/login_items.h"

namespace quillmar::platform::sim {

class SimLoginItems final : public LoginItems {
public:
    enum class RegisterOutcome { enable, requireApproval, fail };

    // Installs a fresh simulated service as the world's LoginItems.
    static SimLoginItems& install();

    LoginItemStatus status() const override { return status_; }
    std::optional<LoginItemError> registerApp() override;
    std::optional<LoginItemError> unregisterApp() override;
    void openSystemSettingsLoginItems() override { ++openSettingsCount_; }

    void setStatus(LoginItemStatus s) { status_ = s; }
    void setRegisterOutcome(RegisterOutcome o) { registerOutcome_ = o; }
    void setUnregisterFails(bool fails) { unregisterFails_ = fails; }
    // The user approves a pending registration (requiresApproval becomes enabled).
    void approve();

    int registerCount() const { return registerCount_; }
    int unregisterCount() const { return unregisterCount_; }
    int openSettingsCount() const { return openSettingsCount_; }

private:
    LoginItemStatus status_ = LoginItemStatus::notRegistered;
    RegisterOutcome registerOutcome_ = RegisterOutcome::enable;
    bool unregisterFails_ = false;
    int registerCount_ = 0;
    int unregisterCount_ = 0;
    int openSettingsCount_ = 0;
};

}  // namespace quillmar::platform::sim
