#include "gfx/font_region.h"

#include <atomic>

#include "runtime/world.h"

namespace quillmar::gfx {

namespace {

std::atomic<FontRegion>& current() {
    static std::atomic<FontRegion> region{FontRegion::japan};
    static const bool hooked = [] {
        runtime::World::addResetHook([] { region.store(FontRegion::japan, std::memory_order_relaxed); });
        return true;
    }();
    (void)hooked;
    return region;
}

}  // namespace

FontRegion fontRegion() { return current().load(std::memory_order_relaxed); }

void setFontRegion(FontRegion region) { current().store(region, std::memory_order_relaxed); }

void setFontRegionForLanguage(std::string_view languageTag) {
    FontRegion region = FontRegion::japan;
    if (languageTag == "ko") region = FontRegion::korea;
    else if (languageTag == "zh-Hans") region = FontRegion::simplifiedChinese;
    else if (languageTag == "zh-Hant") region = FontRegion::traditionalChinese;
    setFontRegion(region);
}

}  // namespace quillmar::gfx
