#pragma once
// A simulated system appearance: light until set; setDark() switches it and, when it changed,
// posts the theme-change notification.

#include "platform/system_appearance.h"

namespace quillmar::platform::sim {

class SimSystemAppearance final : public SystemAppearance {
public:
    static SimSystemAppearance& install(bool dark = false);

    bool isDark() const override { return dark_; }
    void setDark(bool dark);

private:
    bool dark_ = false;
};

}  // namespace quillmar::platform::sim
