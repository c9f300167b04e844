// The URL command grammar: any text is taken apart or refused as not a URL; the parts it yields
// are lower-cased text and query items, and taking the same text apart twice gives the same parts.

#include <cstdint>
#include <string>

#include "app/url_command.h"
#include "runtime/text_case.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto first = quillmar::UrlCommand::parse(text);
    const auto second = quillmar::UrlCommand::parse(text);
    if (first.has_value() != second.has_value()) __builtin_trap();
    if (!first) return 0;
    if (first->command != second->command || first->argument != second->argument ||
        first->queryItems != second->queryItems)
        __builtin_trap();
    (void)first->firstQueryValue("tab");
    (void)quillmar::runtime::lowercased(first->argument);
    return 0;
}
