// The string parsers fed from outside: version texts, language tags, window titles and app
// names (with their Unicode case folding and normalisation).

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "localization/app_language.h"
#include "platform/preferred_languages.h"
#include "settings/switcher_links.h"
#include "windows/window_label.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillmar::fuzz::FuzzInput in(data, size);
    const std::string version = in.string();
    const std::string normalized = quillmar::SwitcherLinks::normalizeDisplayVersion(version);
    if (normalized.find('.') == std::string::npos) __builtin_trap();  // always "major.minor"

    std::vector<std::string> available, preferred;
    for (int i = in.byte() % 5; i > 0; --i) available.push_back(in.string(16));
    for (int i = in.byte() % 5; i > 0; --i) preferred.push_back(in.string(16));
    const auto chosen = quillmar::platform::matchPreferredLocalizations(available, preferred);
    if (available.empty() != chosen.empty()) __builtin_trap();
    (void)quillmar::AppLanguage::resolve(chosen, preferred);

    const std::string appName = in.string(32);
    const std::string title = in.rest();
    (void)quillmar::cleanWindowLabel(title, appName);
    return 0;
}
