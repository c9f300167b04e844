#include "ui/environment.h"

#include "platform/accessibility_display_options.h"

namespace quillmar::ui {

Environment Environment::fromSystem() {
    Environment e;
    const auto& options = platform::AccessibilityDisplayOptions::shared();
    e.accessibilityReduceMotion = options.shouldReduceMotion();
    e.accessibilityReduceTransparency = options.shouldReduceTransparency();
    e.colorSchemeContrast =
        options.shouldIncreaseContrast() ? ColorSchemeContrast::increased : ColorSchemeContrast::standard;
    return e;
}

}  // namespace quillmar::ui
