#include "platform/compact_json.h"

#include <charconv>
#include <cmath>

namespace quillmar::platform {

namespace {

void appendNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    // The shortest digits that read back as the value: "-d.ddde+XX".
    char buffer[40];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr;
    std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    if (text.front() == '-') {
        out += '-';
        text.remove_prefix(1);
    }
    const std::size_t e = text.find('e');
    std::string digits(text.substr(0, e));
    if (digits.size() > 1) digits.erase(1, 1);  // the point
    std::string_view exponentText = text.substr(e + 1);
    if (exponentText.front() == '+') exponentText.remove_prefix(1);
    long exponent = 0;  // of the first digit
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    const long count = static_cast<long>(digits.size());

    // Fixed: the point where the value puts it, ".0" after a whole number so it stays a fraction.
    std::string fixed;
    if (exponent < 0)
        fixed = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    else if (exponent + 1 >= count)
        fixed = digits + std::string(static_cast<std::size_t>(exponent + 1 - count), '0') + ".0";
    else
        fixed = digits.substr(0, static_cast<std::size_t>(exponent + 1)) + "." + digits.substr(static_cast<std::size_t>(exponent + 1));
    // The digits as a whole number with an exponent, and with one digit before the point.
    std::string whole = digits + "e" + std::to_string(exponent - (count - 1));
    std::string point = count > 1 ? digits.substr(0, 1) + "." + digits.substr(1) + "e" + std::to_string(exponent) : whole;
    const std::string* best = &fixed;
    for (const std::string* candidate : {&whole, &point})
        if (candidate->size() < best->size()) best = candidate;
    out += *best;
}

}  // namespace

void appendCompactJsonString(std::string& out, std::string_view text) {
    out += nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
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

std::string compactJsonObject(const std::map<std::string, nlohmann::json>& members) {
    std::string text = "{";
    for (const auto& [key, value] : members) {
        if (text.size() > 1) text += ',';
        appendCompactJsonString(text, key);
        text += ':';
        appendCompactJson(text, value);
    }
    return text + '}';
}

}  // namespace quillmar::platform
