#include "platform/url_opener.h"

#include <cctype>
#include <memory>

#include "runtime/world.h"

namespace quillmar::platform {

namespace {
class NoUrlOpener final : public UrlOpener {
public:
    bool openURL(const std::string&) override { return false; }
};

bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Unreserved, reserved (general and sub-delimiters) characters of a URL.
bool isUrlCharacter(char c) {
    if (isAlpha(c) || isDigit(c)) return true;
    static constexpr std::string_view kAllowed = "-._~:/?#[]@!$&'()*+,;=";
    return kAllowed.find(c) != std::string_view::npos;
}
}  // namespace

UrlOpener& UrlOpener::shared() {
    if (auto* installed = runtime::World::find<UrlOpener>()) return *installed;
    return runtime::World::install<UrlOpener>(std::make_unique<NoUrlOpener>());
}

bool UrlOpener::isWellFormed(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || !isAlpha(text[0])) return false;
    for (std::size_t i = 1; i < colon; ++i) {
        const char c = text[i];
        if (!isAlpha(c) && !isDigit(c) && c != '+' && c != '-' && c != '.') return false;
    }
    for (std::size_t i = colon + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%') {
            if (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2])) return false;
            i += 2;
            continue;
        }
        if (!isUrlCharacter(c)) return false;
    }
    return true;
}

}  // namespace quillmar::platform
