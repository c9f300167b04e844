#pragma once
// Small reads of Accessibility attributes shared by the window manager's activation and its
// close: a flag, one element, or the elements of an array attribute.

#include <optional>
#include <vector>

#include "platform/accessibility_api.h"

namespace quillmar::ax_reads {

inline bool readsTrue(const platform::AXReadResult& r) { return r.ok() && r.value && r.value->boolean() && *r.value->boolean(); }

inline std::optional<platform::AXElement> readElement(const platform::AXElement& from, const char* attribute) {
    auto r = platform::AccessibilityApi::shared().copyAttributeValue(from, attribute);
    if (!r.ok() || !r.value || !r.value->element()) return std::nullopt;
    return *r.value->element();
}

// The elements of an array attribute; nullopt when the read fails or gives no array.
inline std::optional<std::vector<platform::AXElement>> readElements(const platform::AXElement& from, const char* attribute) {
    auto r = platform::AccessibilityApi::shared().copyAttributeValue(from, attribute);
    if (!r.ok() || !r.value || !r.value->array()) return std::nullopt;
    std::vector<platform::AXElement> out;
    for (const auto& v : *r.value->array())
        if (const platform::AXElement* e = v.element()) out.push_back(*e);
    return out;
}

}  // namespace quillmar::ax_reads
