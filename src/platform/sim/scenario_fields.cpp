#include "platform/sim/scenario_fields.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/kept_text.h"
#include "platform/sim/scenario_limits.h"

namespace quillmar::platform::sim {

namespace {
const nlohmann::json& emptyObject() {
    static const nlohmann::json empty = nlohmann::json::object();
    return empty;
}
std::string typeName(const nlohmann::json& v) {
    if (v.is_number_integer()) return "an integer";
    if (v.is_number()) return "a number";
    if (v.is_string()) return "a string";
    if (v.is_boolean()) return "a boolean";
    if (v.is_array()) return "an array";
    if (v.is_object()) return "an object";
    return "null";
}
}  // namespace

namespace {
// The length of text cut to at most `limit` bytes without splitting a UTF-8 character.
std::size_t cutLength(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text.size();
    std::size_t n = limit;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xc0) == 0x80) --n;
    return n;
}
std::string cutNote(std::size_t size) { return " (" + std::to_string(size) + " bytes)"; }

// Characters that JSON leaves as they are but a terminal does not show as themselves: the C1
// controls, the line and paragraph separators and the bidirectional controls (U+202E turns the
// rest of a message around).
bool isHiddenControl(char32_t c) {
    return (c >= 0x80 && c <= 0x9f) || c == 0x061c || c == 0x200e || c == 0x200f || (c >= 0x2028 && c <= 0x202e) ||
           (c >= 0x2066 && c <= 0x2069);
}

// JSON text with the hidden controls above written as \uXXXX escapes. The text is the library's
// output, so it is valid UTF-8.
std::string escapeHiddenControls(const std::string& json) {
    std::string out;
    out.reserve(json.size());
    for (std::size_t i = 0; i < json.size();) {
        const auto lead = static_cast<unsigned char>(json[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x7f >> length);
        for (std::size_t k = 1; k < length && i + k < json.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(json[i + k]) & 0x3f);
        if (isHiddenControl(c)) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            out.append(json, i, length);
        }
        i += length;
    }
    return out;
}
}  // namespace

std::string ScenarioFields::quoted(std::string_view text) {
    const std::size_t keep = cutLength(text, kShownBytes);
    std::string out = escapeHiddenControls(nlohmann::json(std::string(text.substr(0, keep)))
                                               .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
    if (keep < text.size()) out.insert(out.size() - 1, "\u2026").append(cutNote(text.size()));
    return out;
}

std::string ScenarioFields::shown(const nlohmann::json& value) {
    if (value.is_string()) return quoted(value.get_ref<const std::string&>());
    std::string text = value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    const std::size_t keep = cutLength(text, kShownBytes);
    if (keep < text.size()) text = text.substr(0, keep) + "\u2026" + cutNote(text.size());
    return text;
}

std::string ScenarioFields::numberText(double value) {
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, result.ptr);
}

ScenarioFields::ScenarioFields(const nlohmann::json& object, std::string path)
    : object_(object.is_object() ? object : emptyObject()), path_(std::move(path)) {
    if (!object.is_object()) error_ = path_ + ": expected an object, found " + typeName(object);
}

std::string ScenarioFields::pathOf(const std::string& key) const {
    const std::string name = key.size() <= kShownBytes ? key : quoted(key);
    return path_.empty() ? name : path_ + "." + name;
}

void ScenarioFields::fail(const std::string& key, const std::string& problem) {
    if (error_.empty()) error_ = pathOf(key) + ": " + problem;
}

void ScenarioFields::failHere(const std::string& problem) {
    if (error_.empty()) error_ = (path_.empty() ? std::string("scenario") : path_) + ": " + problem;
}

bool ScenarioFields::has(const std::string& key) const { return object_.contains(key); }

const nlohmann::json* ScenarioFields::find(const std::string& key, Need need) {
    seen_.insert(key);
    auto it = object_.find(key);
    if (it == object_.end()) {
        if (need == Need::required) fail(key, "missing");
        return nullptr;
    }
    return &*it;
}

namespace {
// Applies a row of the table of limits to a value in place: strings cut (or refused when used
// whole), lists and objects over their bound refused. Returns where, below the value, a value is
// over its bound ("" for the value itself), and by how much; nullopt when it is within bounds.
struct OverBound {
    std::string place;
    std::string problem;
};
std::string overBy(std::size_t size, std::size_t bound, const char* unit) {
    return std::to_string(size) + " " + unit + "; at most " + std::to_string(bound) + " are allowed";
}
// Cuts the member names of an object to `bytes`, as keys are cut. Two that are the same once cut
// would be one member: refused.
std::optional<OverBound> cutMemberNames(nlohmann::json& object, std::size_t bytes) {
    bool anyLong = false;
    for (auto it = object.begin(); it != object.end() && !anyLong; ++it) anyLong = it.key().size() > bytes;
    if (!anyLong) return std::nullopt;
    nlohmann::json kept = nlohmann::json::object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        std::string name = platform::keptText(it.key(), bytes);
        if (kept.contains(name))
            return OverBound{"", "two member names are the same once cut to " + std::to_string(bytes) +
                                     " bytes: " + ScenarioFields::quoted(name)};
        kept[std::move(name)] = std::move(it.value());
    }
    object = std::move(kept);
    return std::nullopt;
}

// A string cut is moved into `cutFrom` as it was given, when one is passed.
std::optional<OverBound> applyLimit(nlohmann::json& v, const FieldLimit& limit, bool top = true,
                                    std::string* cutFrom = nullptr) {
    using Kind = FieldLimit::Kind;
    if (v.is_string()) {
        std::string& text = v.get_ref<std::string&>();
        if (limit.kind == Kind::objects || text.size() <= limit.bytes) return std::nullopt;
        if (limit.kind == Kind::whole) return OverBound{"", overBy(text.size(), limit.bytes, "bytes")};
        std::string kept = platform::keptText(text, limit.bytes);
        if (cutFrom) *cutFrom = std::move(text);
        text = std::move(kept);
        return std::nullopt;
    }
    if (limit.kind == Kind::text || limit.kind == Kind::whole || !(v.is_array() || v.is_object())) return std::nullopt;
    if (limit.kind != Kind::any && !top) return std::nullopt;  // a list's points are checked as points
    if (v.size() > limit.entries) return OverBound{"", overBy(v.size(), limit.entries, "entries")};
    if (limit.kind == Kind::objects) return std::nullopt;  // each read with its own fields
    if (v.is_array()) {
        for (std::size_t i = 0; i < v.size(); ++i)
            if (auto over = applyLimit(v[i], limit, false))
                return OverBound{"[" + std::to_string(i) + "]" + over->place, over->problem};
    } else {
        if (auto clash = cutMemberNames(v, limit.nameBytes)) return clash;
        for (auto it = v.begin(); it != v.end(); ++it)
            if (auto over = applyLimit(it.value(), limit, false))
                return OverBound{"." + it.key() + over->place, over->problem};
    }
    return std::nullopt;
}
}  // namespace

const nlohmann::json* ScenarioFields::bounded(const std::string& key, Need need) {
    seen_.insert(key);
    const FieldLimit* limit = ScenarioLimits::find(key);
    if (!limit) {
        fail(key, "has no bound in the table of limits");
        return nullptr;
    }
    auto it = object_.find(key);
    if (it == object_.end()) {
        if (need == Need::required) fail(key, "missing");
        return nullptr;
    }
    // Read again, a string is already cut: only its first read cuts it and keeps it as given.
    std::string cutFrom;
    auto over = applyLimit(*it, *limit, true, &cutFrom);
    if (!cutFrom.empty()) given_.try_emplace(key, std::move(cutFrom));
    if (over) {
        fail(key + over->place, over->problem);
        return nullptr;
    }
    return &*it;
}

std::string_view ScenarioFields::given(const std::string& key) const {
    if (const auto cut = given_.find(key); cut != given_.end()) return cut->second;
    const auto it = object_.find(key);
    if (it == object_.end() || !it->is_string()) return {};
    return it->get_ref<const std::string&>();
}

const nlohmann::json* ScenarioFields::value(const std::string& key, Need need) { return bounded(key, need); }

std::optional<double> ScenarioFields::number(const std::string& key, Need need, double lo, double hi) {
    const auto* v = find(key, need);
    if (!v) return std::nullopt;
    if (!v->is_number()) {
        fail(key, "expected a number, found " + typeName(*v));
        return std::nullopt;
    }
    const double d = v->get<double>();
    if (!std::isfinite(d) || d < lo || d > hi) {
        fail(key, numberText(d) + " is out of range " + numberText(lo) + "..." + numberText(hi));
        return std::nullopt;
    }
    return d;
}

std::optional<std::int64_t> ScenarioFields::integer(const std::string& key, Need need, std::int64_t lo, std::int64_t hi) {
    const auto* v = find(key, need);
    if (!v) return std::nullopt;
    if (!v->is_number_integer() || (v->is_number_unsigned() && v->get<std::uint64_t>() > static_cast<std::uint64_t>(INT64_MAX))) {
        fail(key, "expected an integer, found " + typeName(*v));
        return std::nullopt;
    }
    const auto i = v->get<std::int64_t>();
    if (i < lo || i > hi) {
        fail(key, std::to_string(i) + " is out of range " + std::to_string(lo) + "..." + std::to_string(hi));
        return std::nullopt;
    }
    return i;
}

std::optional<bool> ScenarioFields::boolean(const std::string& key, Need need) {
    const auto* v = find(key, need);
    if (!v) return std::nullopt;
    if (!v->is_boolean()) {
        fail(key, "expected true or false, found " + typeName(*v));
        return std::nullopt;
    }
    return v->get<bool>();
}

std::optional<std::string> ScenarioFields::string(const std::string& key, Need need) {
    const auto* v = bounded(key, need);
    if (!v) return std::nullopt;
    if (!v->is_string()) {
        fail(key, "expected a string, found " + typeName(*v));
        return std::nullopt;
    }
    return v->get<std::string>();
}

std::optional<std::vector<std::string>> ScenarioFields::stringArray(const std::string& key, Need need) {
    const auto* v = bounded(key, need);
    if (!v) return std::nullopt;
    if (!v->is_array()) {
        fail(key, "expected an array of strings, found " + typeName(*v));
        return std::nullopt;
    }
    std::vector<std::string> out;
    for (std::size_t i = 0; i < v->size(); ++i) {
        if (!(*v)[i].is_string()) {
            fail(key + "[" + std::to_string(i) + "]", "expected a string, found " + typeName((*v)[i]));
            return std::nullopt;
        }
        out.push_back((*v)[i].get<std::string>());
    }
    return out;
}

std::uint32_t ScenarioFields::flags(const std::string& key,
                                    const std::vector<std::pair<std::string, std::uint32_t>>& names, Need need) {
    const auto given = stringArray(key, need);
    std::uint32_t bits = 0;
    if (!given) return bits;
    for (const auto& g : *given) {
        const auto it = std::find_if(names.begin(), names.end(), [&](const auto& n) { return n.first == g; });
        if (it != names.end()) {
            bits |= it->second;
            continue;
        }
        std::string expected;
        for (std::size_t i = 0; i < names.size(); ++i)
            expected += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i].first;
        fail(key, "expected " + expected);
        return 0;
    }
    return bits;
}

const nlohmann::json* ScenarioFields::array(const std::string& key, Need need) {
    const auto* v = bounded(key, need);
    if (v && !v->is_array()) {
        fail(key, "expected an array, found " + typeName(*v));
        return nullptr;
    }
    return v;
}

const nlohmann::json* ScenarioFields::object(const std::string& key, Need need) {
    const auto* v = bounded(key, need);
    if (v && !v->is_object()) {
        fail(key, "expected an object, found " + typeName(*v));
        return nullptr;
    }
    return v;
}

namespace {
std::optional<std::vector<double>> finiteNumbers(const nlohmann::json& v, std::size_t count) {
    if (!v.is_array() || v.size() != count) return std::nullopt;
    std::vector<double> out;
    for (const auto& e : v) {
        if (!e.is_number() || !std::isfinite(e.get<double>())) return std::nullopt;
        out.push_back(e.get<double>());
    }
    return out;
}
}  // namespace

std::optional<Point> ScenarioFields::point(const std::string& key, Need need) {
    const auto* v = find(key, need);
    if (!v) return std::nullopt;
    auto n = finiteNumbers(*v, 2);
    if (!n) {
        fail(key, "expected [x, y] with two finite numbers");
        return std::nullopt;
    }
    return Point{(*n)[0], (*n)[1]};
}

std::optional<Rect> ScenarioFields::rect(const std::string& key, Need need) {
    const auto* v = find(key, need);
    if (!v) return std::nullopt;
    auto n = finiteNumbers(*v, 4);
    if (!n || (*n)[2] < 0 || (*n)[3] < 0) {
        fail(key, "expected [x, y, width, height] with finite numbers and a size not below zero");
        return std::nullopt;
    }
    return Rect{(*n)[0], (*n)[1], (*n)[2], (*n)[3]};
}

std::optional<std::uint32_t> ScenarioFields::color(const std::string& key, Need need) {
    auto s = string(key, need);
    if (!s) return std::nullopt;
    const std::string& t = *s;
    const bool shapeOk = (t.size() == 7 || t.size() == 9) && t[0] == '#' &&
                         t.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
    if (!shapeOk) {
        fail(key, "expected a colour \"#RRGGBB\" or \"#AARRGGBB\", found " + quoted(t));
        return std::nullopt;
    }
    auto value = static_cast<std::uint32_t>(std::stoul(t.substr(1), nullptr, 16));
    if (t.size() == 7) value |= 0xff000000u;
    return value;
}

void ScenarioFields::rejectUnknown() {
    for (auto it = object_.begin(); it != object_.end(); ++it) {
        if (!seen_.count(it.key())) {
            fail(it.key(), "unknown field");
            return;
        }
    }
}

}  // namespace quillmar::platform::sim
