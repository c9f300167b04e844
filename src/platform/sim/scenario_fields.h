#pragma once
// Typed reading of one JSON object of a scenario file, keeping the first problem found together
// with where it is ("steps[3].seconds: expected a number"). A missing optional field reads as
// nullopt; a field of the wrong type, or a missing required one, records a problem and reads as
// nullopt too, so a reader can go on and report once at the end. rejectUnknown() then flags any
// field nobody asked for (a misspelt key is a mistake, not something to ignore). Every string, list
// and object field is read within its bound (scenario_limits.h): a string cut (a file name
// refused), a list refused.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/geometry.h"

namespace quillmar::platform::sim {

enum class Need { required, optional };

class ScenarioFields {
public:
    // path names the object for messages ("steps[2]"); a value that is not an object is a problem.
    ScenarioFields(const nlohmann::json& object, std::string path);

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    const std::string& path() const { return path_; }
    std::string pathOf(const std::string& key) const;
    // Records a problem of a field (only the first problem is kept).
    void fail(const std::string& key, const std::string& problem);
    void failHere(const std::string& problem);
    // Takes over the problem of a nested object's fields (its message already has its full path).
    void absorb(const ScenarioFields& inner) {
        if (error_.empty()) error_ = inner.error();
    }

    bool has(const std::string& key) const;
    // Any value.
    const nlohmann::json* value(const std::string& key, Need need = Need::required);
    // A finite number within [lo, hi].
    std::optional<double> number(const std::string& key, Need need = Need::required, double lo = -1e300,
                                 double hi = 1e300);
    std::optional<std::int64_t> integer(const std::string& key, Need need = Need::required,
                                        std::int64_t lo = INT64_MIN, std::int64_t hi = INT64_MAX);
    std::optional<bool> boolean(const std::string& key, Need need = Need::required);
    std::optional<std::string> string(const std::string& key, Need need = Need::required);
    std::optional<std::vector<std::string>> stringArray(const std::string& key, Need need = Need::required);
    // An array of names, each one of `names`, as the union of their bits (0 when missing or wrong).
    std::uint32_t flags(const std::string& key, const std::vector<std::pair<std::string, std::uint32_t>>& names,
                        Need need = Need::optional);
    const nlohmann::json* array(const std::string& key, Need need = Need::required);
    const nlohmann::json* object(const std::string& key, Need need = Need::required);
    // [x, y] of finite numbers.
    std::optional<Point> point(const std::string& key, Need need = Need::required);
    // [x, y, width, height] of finite numbers, width and height not negative.
    std::optional<Rect> rect(const std::string& key, Need need = Need::required);
    // "#RRGGBB" or "#AARRGGBB" as straight ARGB.
    std::optional<std::uint32_t> color(const std::string& key, Need need = Need::required);

    // Text of the file shown in a message: quoted, control characters (bidirectional ones too)
    // escaped, and cut to about
    // kShownBytes bytes (with "…" and the full length) when longer, so a hostile string is never
    // echoed whole.
    static constexpr std::size_t kShownBytes = 200;
    static std::string quoted(std::string_view text);
    // Any value shown the same way: a string quoted, anything else as JSON, cut alike.
    static std::string shown(const nlohmann::json& value);
    // A number as it reads naturally and reads back to the same value ("31622400", "0.1", "1e+300").
    static std::string numberText(double value);

    // A string field as given, before its bound cut it ("" for a field that is not a string). The
    // cut keeps the given text aside rather than copying it; it lives as long as these fields.
    std::string_view given(const std::string& key) const;
    // The object as read so far: every field asked for within its bound. A step keeps its
    // arguments so, and they are logged so.
    const nlohmann::json& read() const { return object_; }

    // Marks a field as known without reading it.
    void allow(const std::string& key) { seen_.insert(key); }
    // Records a problem for the first field that was never asked for.
    void rejectUnknown();

private:
    const nlohmann::json* find(const std::string& key, Need need);
    // find() for a field of the table of limits (scenario_limits.h), with its bound applied: a
    // string cut, a list over its bound refused. A field with no row there is a problem.
    const nlohmann::json* bounded(const std::string& key, Need need);

    nlohmann::json object_;  // a copy: callers often pass a temporary
    std::string path_;
    std::string error_;
    std::set<std::string> seen_;
    std::map<std::string, std::string> given_;  // the strings the bound cut, as given
};

}  // namespace quillmar::platform::sim
