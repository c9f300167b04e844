#pragma once
// Lower-casing of UTF-8 text, shared by every layer that compares names, tags or words without
// regard to case: ICU's full case mapping in the root locale (so "Straße" stays "straße" and
// "ΣΑΣ" becomes "σας"). Invalid UTF-8 sequences become U+FFFD.

#include <string>
#include <string_view>

namespace quillmar::runtime {

std::string lowercased(std::string_view text);

}  // namespace quillmar::runtime
