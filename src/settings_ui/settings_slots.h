#pragma once
// Places in the settings window where views of the live stage, the shortcut illustrations, the
// keycaps, the About identity card and the seasonal window spectacle go. Each slot is one small
// function in a file of its own (hardware_stage_slot.cpp, ...), so the tabs only know the slot,
// not the subsystem that fills it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gfx/color.h"
#include "platform/app_icon.h"
#include "settings_ui/palette/settings_palette.h"
#include "ui/view.h"
#include "windows/switch_target.h"

namespace quillmar {

// The live hardware stage of the Switching and Trackpad tabs: a card 164 pt tall across the tab.
// It reads the shared settings, monitors and controller itself; the settings view hands it the
// palette, the preview list and the header's status colour.
ui::View hardwareStageSlot(const SettingsPalette& palette, const std::vector<SwitchTarget>& previewTargets,
                           gfx::Color statusDotColor);

// The Shortcuts tab's illustrations, each 100 pt high across its card (window close, app quit),
// and the minimised-bar illustration in a 172 x 58 pt frame.
ui::View windowCloseStageSlot(const SettingsPalette& palette, bool isHovered);
ui::View appQuitStageSlot(const SettingsPalette& palette, std::optional<platform::AppIconRef> appIcon, bool isHovered);
ui::View minimizedBarStageSlot(const SettingsPalette& palette, const std::vector<SwitchTarget>& targets,
                               bool isHovered);

// A keycap `width` x 22 pt, with a label or a system symbol (the symbol wins).
ui::View keycapSlot(std::optional<std::string> label, std::optional<std::string> symbol, double width,
                    const SettingsPalette& palette);

// The About tab's identity card (logo, name, version, emblem of the day).
ui::View aboutIdentityCardSlot(const SettingsPalette& palette);

// The seasonal spectacle drawn over the whole window; nothing while no spectacle plays.
ui::View windowSpectacleSlot(bool isDark);

// Stops the About card's easter-egg animations (hint, tap burst, dissolve): when the settings
// view leaves the screen and when the window closes.
void stopSeasonalAnimations();

// The live stage's shared state: the settings view re-aims its simulated selection when the
// preview list changes, and the window host resets it when the window closes.
struct HardwareStageSelection {
    std::int64_t simulatedIndex = 0;
    bool hovered = false;  // the pointer scrubs the stage's drawn pad
};
HardwareStageSelection hardwareStageSelection();
void setHardwareStageSimulatedIndex(std::int64_t index);
void resetHardwareStage();

}  // namespace quillmar
