#include "platform/compact_json.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include <unicode/utf8.h>

namespace quillmar::platform {

namespace {

void appendNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    // The fewest digits that read back as the value, plain unless an exponent is shorter
    // ("200", "0.001", "1e+15").
    char buffer[40];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t e = text.find('e');
    if (e == std::string_view::npos) {
        out += text;
        // A whole number stays a fraction, so it reads back as the type it was.
        if (text.find('.') == std::string_view::npos) out += ".0";
        return;
    }
    // The exponent without a plus sign or leading zeros: "1e15", "1e-5".
    out += text.substr(0, e + 1);
    std::string_view exponent = text.substr(e + 1);
    if (exponent.front() == '-') out += '-';
    exponent.remove_prefix(1);
    while (exponent.size() > 1 && exponent.front() == '0') exponent.remove_prefix(1);
    out += exponent;
}

// Whether the library's writer puts text between quotes as it is: valid UTF-8 without a control
// character, quote or backslash.
bool needsNoEscape(std::string_view text) {
    for (std::int32_t i = 0, n = static_cast<std::int32_t>(text.size()); i < n;) {
        const auto b = static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
        if (b < 0x80) {
            if (b < 0x20 || b == '"' || b == '\\') return false;
            ++i;
            continue;
        }
        UChar32 cp = 0;
        U8_NEXT(reinterpret_cast<const std::uint8_t*>(text.data()), i, n, cp);
        if (cp < 0) return false;
    }
    return true;
}

}  // namespace

bool appendCompactJsonString(std::string& out, std::string_view text) {
    if (needsNoEscape(text)) {
        out += '"';
        out += text;
        out += '"';
        return true;
    }
    out += nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    return false;
}

void appendCompactJson(std::string& out, const nlohmann::json& value) {
    if (value.is_object()) {
        out += '{';
        bool first = true;
        for (const auto& [key, member] : value.items()) {
            if (!first) out += ',';
            first = false;
            appendCompactJsonString(out, key);
            out += ':';
            appendCompactJson(out, member);
        }
        out += '}';
    } else if (value.is_array()) {
        out += '[';
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (i) out += ',';
            appendCompactJson(out, value[i]);
        }
        out += ']';
    } else if (value.is_number_float()) {
        appendNumber(out, value.get<double>());
    } else {
        out += value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    }
}

}  // namespace quillmar::platform
