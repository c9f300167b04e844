#pragma once
// The current ASCII-capable keyboard layout and the translation of a virtual key code into the
// characters it types. A change of the selected input source posts
// keyboardSelectionDidChangeNotification on runtime::NotificationCenter::defaultCenter().
//
// KeyboardLayout::installed() is null when the system offers no layout data. Main thread only.

#include <cstdint>
#include <optional>
#include <string>

#include "runtime/world.h"

namespace quillmar::platform {

class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;
    static KeyboardLayout* installed() { return runtime::World::find<KeyboardLayout>(); }

    static constexpr const char* keyboardSelectionDidChangeNotification = "TextInputContextKeyboardSelectionDidChange";

    // Whether an ASCII-capable layout with translation data is selected now.
    virtual bool hasCurrentASCIICapableLayout() const = 0;
    // The UTF-16 characters keyCode types without modifiers and without a pending dead key
    // (display action); nullopt when the translation fails.
    virtual std::optional<std::u16string> translate(int keyCode) const = 0;
};

}  // namespace quillmar::platform
