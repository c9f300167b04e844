#pragma once
// The window-background material behind all of the settings window's content. The system's
// material blurs what lies behind the window; this platform composes no other windows into ours,
// so the material is drawn as the window-background colour of the current colour scheme, which
// is what the system's material shows over an even desktop. It fills the frame it is given.

#include "ui/view.h"

namespace quillmar {

struct AdaptiveWindowVibrancy {
    ui::View body() const;
    friend bool operator==(const AdaptiveWindowVibrancy&, const AdaptiveWindowVibrancy&) = default;
};

}  // namespace quillmar
