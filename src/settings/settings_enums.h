#pragma once
// The four choices of the settings model: which targets the Switch Bar lists, how the bar is
// laid out, how a gesture starts and which material the bar uses. Each is stored in the user
// defaults by its case name, spelled exactly as the enumerator.
//
//   rawValue(SwitchBarStyle::vertical)            -> "vertical"
//   fromRawValue<SwitchBarStyle>("vertical")      -> SwitchBarStyle::vertical
//   fromRawValue<SwitchBarStyle>("Vertical")      -> nullopt (exact, case-sensitive, no trimming)
//   allCases<HUDAppearanceStyle>()                -> darkGlass, solidDark, lightGlass, adaptive
//
// The identifier used by list views (`identifier`) is the raw value.

#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace quillmar {

// What the Switch Bar lists.
enum class SwitcherMode { allWindows, appsOnly, activeAppWindows };

// The icon strip (sideways slide) or the list (downward slide).
enum class SwitchBarStyle { horizontal, vertical };

// How a gesture opens the Switch Bar.
enum class TriggerStyle { holdAndSlide, immediateHorizontalSlide, topEdgeTwoFinger };

// The Switch Bar's material. The QA appearance stepper walks the declaration order and wraps.
enum class HUDAppearanceStyle { darkGlass, solidDark, lightGlass, adaptive };

// Case names in declaration order, one table per enumeration.
template <class E>
struct EnumCases;

template <>
struct EnumCases<SwitcherMode> {
    static constexpr std::array<std::pair<SwitcherMode, std::string_view>, 3> table{{
        {SwitcherMode::allWindows, "allWindows"},
        {SwitcherMode::appsOnly, "appsOnly"},
        {SwitcherMode::activeAppWindows, "activeAppWindows"},
    }};
};

template <>
struct EnumCases<SwitchBarStyle> {
    static constexpr std::array<std::pair<SwitchBarStyle, std::string_view>, 2> table{{
        {SwitchBarStyle::horizontal, "horizontal"},
        {SwitchBarStyle::vertical, "vertical"},
    }};
};

template <>
struct EnumCases<TriggerStyle> {
    static constexpr std::array<std::pair<TriggerStyle, std::string_view>, 3> table{{
        {TriggerStyle::holdAndSlide, "holdAndSlide"},
        {TriggerStyle::immediateHorizontalSlide, "immediateHorizontalSlide"},
        {TriggerStyle::topEdgeTwoFinger, "topEdgeTwoFinger"},
    }};
};

template <>
struct EnumCases<HUDAppearanceStyle> {
    static constexpr std::array<std::pair<HUDAppearanceStyle, std::string_view>, 4> table{{
        {HUDAppearanceStyle::darkGlass, "darkGlass"},
        {HUDAppearanceStyle::solidDark, "solidDark"},
        {HUDAppearanceStyle::lightGlass, "lightGlass"},
        {HUDAppearanceStyle::adaptive, "adaptive"},
    }};
};

// All cases in declaration order.
template <class E>
constexpr auto allCases() {
    constexpr auto& table = EnumCases<E>::table;
    std::array<E, table.size()> out{};
    for (std::size_t i = 0; i < table.size(); ++i) out[i] = table[i].first;
    return out;
}

// The case name.
template <class E>
constexpr std::string_view rawValue(E value) {
    for (const auto& [c, name] : EnumCases<E>::table)
        if (c == value) return name;
    return {};
}

// The case whose name equals text exactly; anything else (other case, blanks, "") gives nothing.
template <class E>
constexpr std::optional<E> fromRawValue(std::string_view text) {
    for (const auto& [c, name] : EnumCases<E>::table)
        if (name == text) return c;
    return std::nullopt;
}

// The identifier of a case in list views: its raw value.
template <class E>
constexpr std::string_view identifier(E value) {
    return rawValue(value);
}

}  // namespace quillmar
