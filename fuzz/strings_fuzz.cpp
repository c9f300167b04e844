// The string parsers fed from outside: version texts, language tags, window titles and app
// names (with their Unicode case folding and normalisation), and the cut of a one-line label.

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "gfx/text_layout_single_line.h"
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

    // What of a title goes to layout: a prefix within the bounds, cut only when the title goes on.
    using quillmar::gfx::SingleLineText;
    const auto line = SingleLineText::of(title);
    if (line.text.size() > SingleLineText::kMaxBytes || title.compare(0, line.text.size(), line.text) != 0 ||
        line.cut != (line.text.size() < title.size()))
        __builtin_trap();
    return 0;
}
