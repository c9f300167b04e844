#pragma once
// The user's physical feedback devices: the trackpad's haptic engine and the alert sound.
// Haptics::installed() is null when there are none (nothing is played). Main thread only.

#include "runtime/world.h"

namespace quillmar::platform {

enum class HapticPattern { generic = 0, alignment = 1, levelChange = 2 };

class Haptics {
public:
    virtual ~Haptics() = default;
    static Haptics* installed() { return runtime::World::find<Haptics>(); }

    // Plays the pattern now.
    virtual void perform(HapticPattern pattern) = 0;
    // The system alert sound.
    virtual void beep() = 0;
};

}  // namespace quillmar::platform
