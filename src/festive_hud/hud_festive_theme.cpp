#include "festive_hud/hud_festive_theme.h"

#include "festive_hud/clamped_index.h"

namespace quillmar {

namespace {

// Code points rather than literal emoji, so the source stays plain ASCII.
struct EmojiCodePoints {
    char32_t first;
    char32_t second;  // 0 when the emoji is a single code point
};

constexpr std::array<EmojiCodePoints, 11> kMenuEmoji{{
    {0x2618, 0xFE0F},  // shamrock
    {0x1F423, 0},      // hatching chick
    {0x1F386, 0},      // fireworks
    {0x1F383, 0},      // jack-o-lantern
    {0x1F983, 0},      // turkey
    {0x1F384, 0},      // Christmas tree
    {0x1F942, 0},      // clinking glasses
    {0x1F9E7, 0},      // red envelope
    {0x1F96E, 0},      // moon cake
    {0x1F38D, 0},      // pine decoration
    {0x1FA81, 0},      // kite
}};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string menuEmoji(HUDFestiveTheme theme) {
    const auto& e = kMenuEmoji[clampedIndex(static_cast<std::int64_t>(rawValue(theme)), kMenuEmoji.size())];
    std::string out;
    appendUtf8(out, e.first);
    if (e.second != 0) appendUtf8(out, e.second);
    return out;
}

}  // namespace quillmar
