#include "switcher/quick_key_codes.h"

#include "platform/keyboard_layout.h"

namespace quillmar {

QuickKeyCodes::Pair QuickKeyCodes::lookup() {
    if (!stale_) return {w_, q_};
    auto* layout = platform::KeyboardLayout::installed();
    if (!layout || !layout->hasCurrentASCIICapableLayout()) return {};
    int w = -1, q = -1;
    for (int code = 0; code < 128 && (w < 0 || q < 0); ++code) {
        auto chars = layout->translate(code);
        if (!chars || chars->size() != 1) continue;
        const char16_t c = (*chars)[0] | 0x20;
        if (c == u'w' && w < 0) w = code;
        if (c == u'q' && q < 0) q = code;
    }
    w_ = w < 0 ? kAnsiW : w;
    q_ = q < 0 ? kAnsiQ : q;
    stale_ = false;
    return {w_, q_};
}

void QuickKeyCodes::invalidate() {
    w_ = 0;
    q_ = 0;
    stale_ = true;
}

}  // namespace quillmar
