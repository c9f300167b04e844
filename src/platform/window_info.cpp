#include "platform/window_info.h"

#include <cmath>
#include <limits>

namespace quillmar::platform {

WindowInfo::WindowInfo(nlohmann::json dict) : dict_(std::move(dict)) {
    if (!dict_.is_object()) dict_ = nlohmann::json::object();
}

const nlohmann::json* WindowInfo::find(std::string_view key) const {
    auto it = dict_.find(std::string(key));
    return it == dict_.end() ? nullptr : &*it;
}

bool WindowInfo::contains(std::string_view key) const { return find(key) != nullptr; }

std::optional<std::int64_t> WindowInfo::integer(std::string_view key) const {
    const auto* v = find(key);
    if (!v) return std::nullopt;
    if (v->is_number_unsigned()) {
        const auto u = v->get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return std::nullopt;
        return static_cast<std::int64_t>(u);
    }
    if (v->is_number_integer()) return v->get<std::int64_t>();
    return std::nullopt;
}

std::optional<std::int32_t> WindowInfo::int32(std::string_view key) const {
    auto v = integer(key);
    if (!v || *v < std::numeric_limits<std::int32_t>::min() || *v > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(*v);
}

std::optional<std::uint32_t> WindowInfo::uint32(std::string_view key) const {
    auto v = integer(key);
    if (!v || *v < 0 || *v > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    return static_cast<std::uint32_t>(*v);
}

std::optional<double> WindowInfo::number(std::string_view key) const {
    const auto* v = find(key);
    if (!v || !v->is_number()) return std::nullopt;
    return v->get<double>();
}

std::optional<bool> WindowInfo::boolean(std::string_view key) const {
    const auto* v = find(key);
    if (!v || !v->is_boolean()) return std::nullopt;
    return v->get<bool>();
}

std::optional<std::string> WindowInfo::string(std::string_view key) const {
    const auto* v = find(key);
    if (!v || !v->is_string()) return std::nullopt;
    return v->get<std::string>();
}

const nlohmann::json* WindowInfo::dictionary(std::string_view key) const {
    const auto* v = find(key);
    return v && v->is_object() ? v : nullptr;
}

std::optional<Rect> WindowInfo::bounds() const {
    const auto* d = dictionary(WindowKey::bounds);
    return d ? rectFromDictionary(*d) : std::nullopt;
}

std::optional<Rect> rectFromDictionary(const nlohmann::json& dict) {
    if (!dict.is_object()) return std::nullopt;
    double v[4];
    const char* keys[4] = {"X", "Y", "Width", "Height"};
    for (int i = 0; i < 4; ++i) {
        auto it = dict.find(keys[i]);
        if (it == dict.end() || !it->is_number()) return std::nullopt;
        v[i] = it->get<double>();
        if (!std::isfinite(v[i])) return std::nullopt;
    }
    return Rect{v[0], v[1], v[2], v[3]};
}

nlohmann::json dictionaryFromRect(const Rect& r) {
    // Key by key: an initializer list would build and check a list of pairs first.
    nlohmann::json d = nlohmann::json::object();
    d["X"] = r.x;
    d["Y"] = r.y;
    d["Width"] = r.width;
    d["Height"] = r.height;
    return d;
}

}  // namespace quillmar::platform
