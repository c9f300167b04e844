#include "runtime/text_case.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace quillmar::runtime {

std::string lowercased(std::string_view text) {
    auto u = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
    u.toLower(icu::Locale::getRoot());
    std::string out;
    u.toUTF8String(out);
    return out;
}

}  // namespace quillmar::runtime
