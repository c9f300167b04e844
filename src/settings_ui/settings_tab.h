#pragma once
// The four tabs of the settings window, in the order of the tab bar.
//
//   SettingsTab::fromRawValue("trackpad")   -> SettingsTab::trackpad ("Trackpad", "track" -> nullopt)
//   SettingsTab(SettingsTab::about).title() -> "About" in the interface language

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillmar {

class SettingsTab {
public:
    enum Value : std::uint8_t { switching, trackpad, shortcuts, about };

    constexpr SettingsTab(Value v) : value_(v) {}  // NOLINT(google-explicit-constructor)
    constexpr operator Value() const { return value_; }  // NOLINT(google-explicit-constructor): switchable

    static constexpr std::array<SettingsTab, 4> allCases() { return {switching, trackpad, shortcuts, about}; }

    // The case name; also the tab's identity in lists.
    constexpr std::string_view rawValue() const {
        constexpr std::string_view names[] = {"switching", "trackpad", "shortcuts", "about"};
        return names[value_];
    }
    std::string_view id() const { return rawValue(); }
    // Exactly one of the four raw values (case-sensitive).
    static constexpr std::optional<SettingsTab> fromRawValue(std::string_view text) {
        for (SettingsTab t : allCases())
            if (t.rawValue() == text) return t;
        return std::nullopt;
    }

    // The tab bar's title in the interface language.
    std::string title() const;

private:
    Value value_;
};

// Which row of the Shortcuts tab the pointer rests on.
enum class ShortcutHoverKind { closeWindow, quitApp, minimizedBar };

}  // namespace quillmar
