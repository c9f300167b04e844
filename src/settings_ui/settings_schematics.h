#pragma once
// The small line drawings on the option tiles: a trackpad with finger dots for each trigger
// style, and windows or app tiles for each cycle scope. Fixed point sizes, centred in whatever
// canvas they are given, never scaled; drawn in the scheme's primary label colour at fixed
// opacities, whatever foreground style the container sets.

#include "settings/settings_enums.h"
#include "ui/view.h"

namespace quillmar {

struct GestureSchematicView {
    TriggerStyle kind = TriggerStyle::holdAndSlide;
    ui::View body() const;
    friend bool operator==(const GestureSchematicView&, const GestureSchematicView&) = default;
};

struct ScopeSchematicView {
    SwitcherMode mode = SwitcherMode::allWindows;
    ui::View body() const;
    friend bool operator==(const ScopeSchematicView&, const ScopeSchematicView&) = default;
};

}  // namespace quillmar
