#pragma once
// Explicit identity of a view: an integer or a string (list element ids, .id(), matched
// geometry ids, scroll targets). The empty Id means "no explicit identity".

#include <concepts>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quillmar::ui {

class Id {
public:
    Id() = default;
    template <std::integral T>
    Id(T v) : kind_(Kind::integer), integer_(static_cast<std::int64_t>(v)) {}  // NOLINT(google-explicit-constructor)
    Id(std::string s) : kind_(Kind::string), string_(std::move(s)) {}          // NOLINT(google-explicit-constructor)
    Id(const char* s) : kind_(Kind::string), string_(s ? s : "") {}            // NOLINT(google-explicit-constructor)
    Id(std::string_view s) : kind_(Kind::string), string_(s) {}                // NOLINT(google-explicit-constructor)

    bool isNone() const { return kind_ == Kind::none; }
    std::string description() const {
        return kind_ == Kind::integer ? std::to_string(integer_) : kind_ == Kind::string ? string_ : std::string();
    }
    std::size_t hash() const {
        if (kind_ == Kind::integer) return std::hash<std::int64_t>{}(integer_);
        if (kind_ == Kind::string) return std::hash<std::string>{}(string_) ^ 0x9e3779b97f4a7c15ull;
        return 0;
    }

    friend bool operator==(const Id& a, const Id& b) {
        if (a.kind_ != b.kind_) return false;
        if (a.kind_ == Kind::integer) return a.integer_ == b.integer_;
        if (a.kind_ == Kind::string) return a.string_ == b.string_;
        return true;
    }
    friend bool operator<(const Id& a, const Id& b) {
        if (a.kind_ != b.kind_) return a.kind_ < b.kind_;
        if (a.kind_ == Kind::integer) return a.integer_ < b.integer_;
        return a.string_ < b.string_;
    }

private:
    enum class Kind { none, integer, string };
    Kind kind_ = Kind::none;
    std::int64_t integer_ = 0;
    std::string string_;
};

}  // namespace quillmar::ui
