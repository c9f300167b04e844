#pragma once
// One live touch as the settings window's trackpad stage draws it.

#include <cstdint>

namespace quillmar {

struct TouchDot {
    std::int32_t id = 0;  // the framework's touch identifier; stable while the finger stays down
    double x = 0;         // 0 (left) ... 1 (right), in steps of 1/512
    double y = 0;         // 0 (near edge) ... 1 (far edge), in steps of 1/512
    double z = 0;         // contact size, capped at 4, in steps of 1/128

    bool operator==(const TouchDot&) const = default;
};

}  // namespace quillmar
