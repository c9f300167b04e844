#pragma once
// One window of the window server's list: a dictionary of loosely typed values, as the window
// server hands it out. Readers ask for the type they need; a missing key and a value of another
// type read alike as nullopt. Bounds are a dictionary {"X", "Y", "Width", "Height"} in window-server
// coordinates (top-left origin, y down), converted with rectFromDictionary.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "platform/geometry.h"

namespace quillmar::platform {

// Keys of a window dictionary.
namespace WindowKey {
inline constexpr const char* number = "windowNumber";      // 32-bit unsigned integer
inline constexpr const char* ownerPID = "ownerPID";        // 32-bit signed integer
inline constexpr const char* ownerName = "ownerName";      // string
inline constexpr const char* name = "name";                // string: the window title
inline constexpr const char* layer = "layer";              // integer
inline constexpr const char* alpha = "alpha";              // number 0...1
inline constexpr const char* bounds = "bounds";            // dictionary
inline constexpr const char* isOnscreen = "isOnscreen";    // boolean, present only when true
inline constexpr const char* sharingState = "sharingState";  // integer: 0 none, 1 read-only, 2 read-write
}  // namespace WindowKey

class WindowInfo {
public:
    WindowInfo() : dict_(nlohmann::json::object()) {}
    explicit WindowInfo(nlohmann::json dict);

    // Integers only (a boolean or a fractional number is not an integer); out of range reads as missing.
    std::optional<std::int32_t> int32(std::string_view key) const;
    std::optional<std::uint32_t> uint32(std::string_view key) const;
    std::optional<std::int64_t> integer(std::string_view key) const;
    // Any number, integer or not (not a boolean).
    std::optional<double> number(std::string_view key) const;
    std::optional<bool> boolean(std::string_view key) const;
    std::optional<std::string> string(std::string_view key) const;
    // A nested dictionary, or null.
    const nlohmann::json* dictionary(std::string_view key) const;
    bool contains(std::string_view key) const;

    // The bounds converted to a rectangle; nullopt when missing or not convertible.
    std::optional<Rect> bounds() const;

    const nlohmann::json& raw() const { return dict_; }
    nlohmann::json& raw() { return dict_; }

private:
    const nlohmann::json* find(std::string_view key) const;
    nlohmann::json dict_;
};

// {"X", "Y", "Width", "Height"}, all numbers, to a rectangle; nullopt when the dictionary does
// not convert (not a dictionary, a key missing, a value that is not a finite number).
std::optional<Rect> rectFromDictionary(const nlohmann::json& dict);
nlohmann::json dictionaryFromRect(const Rect& r);

}  // namespace quillmar::platform
