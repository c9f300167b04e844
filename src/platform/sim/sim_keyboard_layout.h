#pragma once
// A simulated keyboard layout: US ANSI by default, French AZERTY on request, or none at all (no
// ASCII-capable layout data). select() switches layouts and posts the selection-change
// notification.

#include "platform/keyboard_layout.h"

namespace quillmar::platform::sim {

class SimKeyboardLayout final : public KeyboardLayout {
public:
    enum class Kind { ansi, azerty, none };
    static SimKeyboardLayout& install(Kind kind = Kind::ansi);

    bool hasCurrentASCIICapableLayout() const override { return kind_ != Kind::none; }
    std::optional<std::u16string> translate(int keyCode) const override;
    void select(Kind kind);
    int translateCallCount() const { return translateCalls_; }

private:
    Kind kind_ = Kind::ansi;
    mutable int translateCalls_ = 0;
};

}  // namespace quillmar::platform::sim
