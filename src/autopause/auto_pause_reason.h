#pragma once
// Why trackpad gestures are paused. Held as an optional everywhere: no value means not paused.

#include <string>
#include <variant>

namespace quillmar {

struct AutoPauseReason {
    // The frontmost app is on the user's excluded list.
    struct ExcludedApp {
        std::string appName;
        std::string bundleID;
        bool operator==(const ExcludedApp&) const = default;
    };
    // The frontmost app is a game, shows a covering game window, or is a virtual-machine or
    // remote-desktop client filling a screen.
    struct GameActive {
        std::string appName;
        bool operator==(const GameActive&) const = default;
    };

    std::variant<ExcludedApp, GameActive> value;

    static AutoPauseReason excludedApp(std::string appName, std::string bundleID) {
        return {ExcludedApp{std::move(appName), std::move(bundleID)}};
    }
    static AutoPauseReason gameActive(std::string appName) { return {GameActive{std::move(appName)}}; }

    bool isExcludedApp() const { return std::holds_alternative<ExcludedApp>(value); }
    const std::string& appName() const {
        return std::visit([](const auto& v) -> const std::string& { return v.appName; }, value);
    }

    bool operator==(const AutoPauseReason&) const = default;
};

}  // namespace quillmar
