// A settings file of any content: the scanner that finds its members agrees with the JSON library
// on what is sound and on every value; nothing crashes or hangs; the length of a merge is known
// before it is written; a sound file is written back in no more bytes than it had, and what is
// written back reads as the same members.

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/json_nesting.h"
#include "platform/json_object_members.h"
#include "platform/user_defaults.h"

namespace {

using quillmar::platform::JsonObjectMembers;

bool sameMembers(const JsonObjectMembers& a, const JsonObjectMembers& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].key != b[i].key || a[i].value != b[i].value) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto members = JsonObjectMembers::read(text);
    bool everyValue = true;
    for (std::size_t i = 0; i < members.size(); ++i) {
        // Every value the scanner passes reads with the library, but for a number too large for a double.
        nlohmann::json value;
        try {
            value = nlohmann::json::parse(members[i].value);
        } catch (const nlohmann::json::out_of_range& e) {
            if (e.id != 406) __builtin_trap();  // 406: a number too large
            everyValue = false;
            continue;
        } catch (const nlohmann::json::exception&) {
            __builtin_trap();
        }
        (void)quillmar::platform::UserDefaults::toInteger(value);
    }
    // Where no number is too large for a double, the two agree on a whole object. (The library
    // takes a NUL byte between tokens for the end of the text; the scanner takes it for damage.)
    const bool shallow = quillmar::platform::jsonNesting(text).firstTooDeep == std::string::npos;
    if (everyValue && shallow && text.find('\0') == std::string::npos) {
        nlohmann::json whole;
        bool overflow = false;
        try {
            whole = nlohmann::json::parse(text);
        } catch (const nlohmann::json::exception& e) {
            whole = nlohmann::json::value_t::discarded;
            overflow = std::string(e.what()).find("number overflow") != std::string::npos;  // a member given twice
        }
        const bool object = !whole.is_discarded() && whole.is_object();
        if (!overflow && object != members.sound()) __builtin_trap();
        if (object) {
            if (whole.size() != members.size()) __builtin_trap();
            for (std::size_t i = 0; i < members.size(); ++i) {
                const auto it = whole.find(std::string(members[i].key));
                if (it == whole.end() || *it != nlohmann::json::parse(members[i].value)) __builtin_trap();
            }
        }
    }
    // The length of a merge is known before it is written, whatever was read.
    const JsonObjectMembers::Changes changes{{members.empty() ? "k" : std::string(members[0].key), std::nullopt},
                                             {"\x01new", "[1]"}};
    for (const auto& changed : {changes, JsonObjectMembers::Changes()}) {
        const std::size_t written = members.withChanges(changed).text().size();
        const auto fresh = JsonObjectMembers::read(text);  // its members' written length not found yet
        std::size_t length = 0;
        if (!fresh.longerWithChanges(changed, written - 1, &length) || length != written) __builtin_trap();
        if (fresh.longerWithChanges(changed, written, &length)) __builtin_trap();
    }
    if (members.sound()) {
        const auto written = members.withChanges({});
        if (written.text().size() > size) __builtin_trap();
        const auto again = JsonObjectMembers::read(written.text());
        if (!again.sound() || !sameMembers(again, members) || !sameMembers(again, written)) __builtin_trap();
    }
    return 0;
}
