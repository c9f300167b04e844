#pragma once
// The virtual key codes that type "w" and "q" in the current ASCII-capable keyboard layout, looked
// up once and cached for the process until the keyboard selection changes. Without layout data
// the US positions (13 and 12) are answered and nothing is cached, so the next call tries again.

#include "runtime/world.h"

namespace quillmar {

class QuickKeyCodes {
public:
    static constexpr int kEscape = 53;
    static constexpr int kAnsiW = 13;
    static constexpr int kAnsiQ = 12;

    static QuickKeyCodes& shared() { return runtime::World::shared<QuickKeyCodes>(); }

    struct Pair {
        int w = kAnsiW;
        int q = kAnsiQ;
        friend bool operator==(const Pair&, const Pair&) = default;
    };
    Pair lookup();
    void invalidate();
    bool isStale() const { return stale_; }

private:
    int w_ = 0;
    int q_ = 0;
    bool stale_ = true;
};

}  // namespace quillmar
