#include "platform/sim/sim_keyboard_layout.h"

#include <memory>

#include "runtime/notification_center.h"
#include "runtime/world.h"

namespace quillmar::platform::sim {

namespace {
// Letters of the first 51 virtual key codes on the US layout ('\0': not a letter or digit).
constexpr char kAnsi[] = "asdfhgzxcv\0bqweryt123465=97-80]ou[ip\0lj'k;\\,/nm.\0 `";
}  // namespace

SimKeyboardLayout& SimKeyboardLayout::install(Kind kind) {
    auto& layout = static_cast<SimKeyboardLayout&>(
        runtime::World::install<KeyboardLayout>(std::make_unique<SimKeyboardLayout>()));
    layout.kind_ = kind;
    return layout;
}

std::optional<std::u16string> SimKeyboardLayout::translate(int keyCode) const {
    ++translateCalls_;
    if (kind_ == Kind::none || keyCode < 0 || keyCode >= static_cast<int>(sizeof(kAnsi) - 1)) return std::nullopt;
    char c = kAnsi[keyCode];
    if (kind_ == Kind::azerty) {
        // AZERTY swaps A/Q and Z/W and puts M where ";" is.
        switch (c) {
            case 'a': c = 'q'; break;
            case 'q': c = 'a'; break;
            case 'z': c = 'w'; break;
            case 'w': c = 'z'; break;
            case ';': c = 'm'; break;
            case 'm': c = ','; break;
            default: break;
        }
    }
    if (c == '\0') return std::nullopt;
    return std::u16string(1, static_cast<char16_t>(c));
}

void SimKeyboardLayout::select(Kind kind) {
    kind_ = kind;
    runtime::NotificationCenter::defaultCenter().post(keyboardSelectionDidChangeNotification);
}

}  // namespace quillmar::platform::sim
