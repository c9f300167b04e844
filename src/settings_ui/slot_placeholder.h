#pragma once
// The plain stand-in a slot shows until its real view is built: the stage backdrop in a rounded
// frame with a rim, named so that tests and demo steps can find it.

#include <string>

#include "settings_ui/palette/settings_palette.h"
#include "ui/view.h"

namespace quillmar {

ui::View slotPlaceholder(const SettingsPalette& palette, const std::string& name, double cornerRadius);

}  // namespace quillmar
