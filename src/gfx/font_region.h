#pragma once
// The regional design the CJK face draws in. Chinese, Japanese and Korean share the unified Han
// code points but draw many of them differently, so one face family comes in a design per
// region; text is drawn in the design of the interface language.
//
// This is the one owner of the region. Its one writer is the localisation layer, which sets it
// when it chooses the interface language (AppLanguage, once per world); World::reset() puts back
// the default (Japan, which also stands for the interface languages written in Latin). Its
// readers are text layout (TextLayout reads it once for each text, Font::faces takes it as an
// argument) and Font::familyList(), which names the CJK face in text measurement's cache keys.
//
//   gfx::setFontRegionForLanguage("ko");   // the localisation layer, when it chooses a language
//   gfx::fontRegion() == gfx::FontRegion::korea
//
// Thread-safe.

#include <string_view>

namespace quillmar::gfx {

enum class FontRegion { japan, korea, simplifiedChinese, traditionalChinese };

FontRegion fontRegion();
void setFontRegion(FontRegion region);
// From an interface language's tag: "ja", "ko", "zh-Hans", "zh-Hant"; any other tag gives Japan.
void setFontRegionForLanguage(std::string_view languageTag);

}  // namespace quillmar::gfx
