#pragma once
// Traits of an accessibility element and how an element treats the elements inside it.

#include <cstdint>

namespace quillmar::ui {

struct AccessibilityTraits {
    std::uint32_t bits = 0;

    static constexpr AccessibilityTraits none() { return {0}; }
    static constexpr AccessibilityTraits isButton() { return {1u << 0}; }
    static constexpr AccessibilityTraits isSelected() { return {1u << 1}; }
    static constexpr AccessibilityTraits isHeader() { return {1u << 2}; }
    static constexpr AccessibilityTraits isImage() { return {1u << 3}; }
    static constexpr AccessibilityTraits isStaticText() { return {1u << 4}; }
    static constexpr AccessibilityTraits isToggle() { return {1u << 5}; }
    static constexpr AccessibilityTraits isAdjustable() { return {1u << 6}; }

    constexpr bool contains(AccessibilityTraits t) const { return (bits & t.bits) == t.bits && t.bits != 0; }
    friend constexpr AccessibilityTraits operator|(AccessibilityTraits a, AccessibilityTraits b) {
        return {a.bits | b.bits};
    }
    constexpr AccessibilityTraits removing(AccessibilityTraits t) const { return {bits & ~t.bits}; }
    friend constexpr bool operator==(AccessibilityTraits, AccessibilityTraits) = default;
};

enum class AccessibilityChildBehavior {
    ignore,   // one element; what is inside is not exposed
    combine,  // one element; labels and traits of what is inside are merged into it
    contain,  // one element holding the elements inside as its children
};

}  // namespace quillmar::ui
