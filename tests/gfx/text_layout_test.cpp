#include "gfx/text_layout.h"

#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include <cmath>

#include "gfx/draw_recorder.h"
#include "gfx/font_region.h"

namespace quillmar::gfx {
namespace {

TEST(TextLayoutTest, EveryInterfaceLanguageFindsAFace) {
    for (const char* s : {"Switch Bar", "ウィンドウを切り替え", "用手势切换窗口", "用手勢切換視窗", "Größe ändern",
                          "창 전환 만사형통"}) {
        for (FontDesign d : {FontDesign::standard, FontDesign::rounded, FontDesign::serif}) {
            TextLayout t(s, Font::system(13, FontWeight::semibold, d));
            EXPECT_EQ(t.missingGlyphCount(), 0) << s;
            EXPECT_GT(t.size().width, 20) << s;
        }
    }
}

TEST(TextLayoutTest, SerifDesignDrawsChineseJapaneseAndKoreanInABoldSerifFace) {
    for (const char* s : {"만사형통", "新春万福", "花好月圓"}) {
        TextLayout t(s, Font::system(10.5, FontWeight::bold, FontDesign::serif));
        PangoLayoutLine* line = pango_layout_get_line_readonly(static_cast<PangoLayout*>(t.pangoLayout()), 0);
        ASSERT_TRUE(line && line->runs) << s;
        for (GSList* r = line->runs; r; r = r->next) {
            PangoFont* font = static_cast<PangoGlyphItem*>(r->data)->item->analysis.font;
            PangoFontDescription* desc = pango_font_describe(font);
            EXPECT_NE(std::string(pango_font_description_get_family(desc)).find("Serif CJK"),
                      std::string::npos)
                << s;
            EXPECT_GE(pango_font_description_get_weight(desc), PANGO_WEIGHT_BOLD) << s;
            pango_font_description_free(desc);
        }
    }
}

TEST(TextLayoutTest, HeavyCJKLabelsKeepTheirWeightInTheLanguagesDesignOnTheLatinLineBox) {
    struct Case {
        FontRegion region;
        const char* family;
        const char* mixed;  // with Latin digits
        const char* pure;
    };
    const Case cases[] = {{FontRegion::korea, "Noto Sans CJK KR", "윈도우 1개 닫기", "윈도우 닫기"},
                          {FontRegion::japan, "Noto Sans CJK JP", "ウィンドウを1つ閉じる", "ウィンドウを閉じる"},
                          {FontRegion::simplifiedChinese, "Noto Sans CJK SC", "关闭 1 个窗口", "关闭窗口"},
                          {FontRegion::traditionalChinese, "Noto Sans CJK TC", "關閉 1 個視窗", "關閉視窗"}};
    const Font font = Font::system(13, FontWeight::semibold);
    const double latinHeight = TextLayout("Close 1 window", font).size().height;
    for (const Case& c : cases) {
        setFontRegion(c.region);
        TextLayout mixed(c.mixed, font);
        PangoLayoutLine* line = pango_layout_get_line_readonly(static_cast<PangoLayout*>(mixed.pangoLayout()), 0);
        ASSERT_TRUE(line && line->runs) << c.mixed;
        for (GSList* r = line->runs; r; r = r->next) {
            PangoFontDescription* desc = pango_font_describe(static_cast<PangoGlyphItem*>(r->data)->item->analysis.font);
            const std::string family = pango_font_description_get_family(desc);
            EXPECT_TRUE(family == c.family || family == "Inter") << c.mixed << ": " << family;
            EXPECT_GE(pango_font_description_get_weight(desc), PANGO_WEIGHT_SEMIBOLD) << c.mixed << ": " << family;
            pango_font_description_free(desc);
        }
        // The CJK face's taller line box gives way to the Latin face's: a line of CJK alone, or
        // wrapped lines of it, stand as tall as Latin ones; a mixed line only a little taller.
        EXPECT_NEAR(TextLayout(c.pure, font).size().height, latinHeight, 0.01) << c.pure;
        EXPECT_NEAR(TextLayout(std::string(c.pure) + "\n" + c.pure, font).size().height, 2 * latinHeight, 0.02);
        EXPECT_LT(mixed.size().height, 1.04 * latinHeight) << c.mixed;
    }
    setFontRegion(FontRegion::japan);
}

TEST(TextLayoutTest, MeasuresScaleWithTheFontAndHeavierWeightsAreWider) {
    TextLayout small("Hold & Slide", Font::system(10));
    TextLayout big("Hold & Slide", Font::system(20));
    EXPECT_NEAR(big.size().width / small.size().width, 2.0, 0.05);
    EXPECT_GT(big.firstBaseline(), small.firstBaseline());
    EXPECT_LT(small.firstBaseline(), small.size().height);
    EXPECT_GT(TextLayout("Hold & Slide", Font::system(10, FontWeight::bold)).size().width, small.size().width);
    // Tabular digits: every digit string of one length has one width.
    Font tab = Font::system(11).monospacedDigit();
    EXPECT_DOUBLE_EQ(TextLayout("1111", tab).size().width, TextLayout("8888", tab).size().width);
}

TEST(TextLayoutTest, OneLineShrinksToTheMinimumScaleBeforeTruncating) {
    const std::string title = "Accessibility Needed for Window Raising";
    double natural = TextLayout(title, Font::system(13)).size().width;

    TextLayout fits(title, Font::system(13), {.maxWidth = natural + 1, .lineLimit = 1, .minimumScaleFactor = 0.88});
    EXPECT_DOUBLE_EQ(fits.appliedFontSize(), 13);
    EXPECT_FALSE(fits.isTruncated());

    TextLayout shrinks(title, Font::system(13), {.maxWidth = natural * 0.93, .lineLimit = 1, .minimumScaleFactor = 0.88});
    EXPECT_LT(shrinks.appliedFontSize(), 13);
    EXPECT_GE(shrinks.appliedFontSize(), 13 * 0.88 - 1e-9);
    EXPECT_GT(shrinks.appliedFontSize(), 13 * 0.9);  // only as far as the width needs
    EXPECT_FALSE(shrinks.isTruncated());
    EXPECT_LE(shrinks.size().width, natural * 0.93 + 0.01);

    TextLayout cut(title, Font::system(13), {.maxWidth = natural * 0.6, .lineLimit = 1, .minimumScaleFactor = 0.88});
    EXPECT_NEAR(cut.appliedFontSize(), 13 * 0.88, 1e-9);
    EXPECT_TRUE(cut.isTruncated());
    EXPECT_LE(cut.size().width, natural * 0.6 + 0.01);
    EXPECT_EQ(cut.lineCount(), 1);

    TextLayout noShrink(title, Font::system(13), {.maxWidth = natural * 0.93, .lineLimit = 1});
    EXPECT_DOUBLE_EQ(noShrink.appliedFontSize(), 13);
    EXPECT_TRUE(noShrink.isTruncated());
}

// What a truncated layout shows before its ellipsis, and whether it fits `width`.
std::string beforeEllipsis(const TextLayout& t) {
    auto* layout = static_cast<PangoLayout*>(t.pangoLayout());
    const std::string text = pango_layout_get_text(layout);
    for (GSList* l = pango_layout_get_lines_readonly(layout); l; l = l->next)
        for (GSList* r = static_cast<PangoLayoutLine*>(l->data)->runs; r; r = r->next) {
            const PangoItem* item = static_cast<PangoGlyphItem*>(r->data)->item;
            if (item->analysis.flags & PANGO_ANALYSIS_FLAG_IS_ELLIPSIS) return text.substr(0, item->offset);
        }
    EXPECT_EQ(text.substr(text.size() - 3), "\u2026") << text;
    return text.substr(0, text.size() - 3);
}

TEST(TextLayoutTest, ATruncatedTextEndsInItsLastWordThenTheEllipsis) {
    const std::string german = "Wische mit drei Fingern nach vorne zu einem anderen Fenster";
    const Font font = Font::system(13);
    const double natural = TextLayout(german, font).size().width;
    int cutAtSpace = 0;
    for (double w = 40; w < natural; w += 1.5) {
        for (int lines : {1, 2}) {
            const TextLayout t(german, font, {.maxWidth = lines == 1 ? w : w / 2, .lineLimit = lines});
            ASSERT_TRUE(t.isTruncated()) << w;
            const std::string kept = beforeEllipsis(t);
            ASSERT_FALSE(kept.empty()) << w;
            EXPECT_EQ(german.compare(0, kept.size(), kept), 0) << kept;
            EXPECT_NE(kept.back(), ' ') << w << ": " << kept;
            cutAtSpace += german[kept.size()] == ' ';
            PangoRectangle ink, logical;
            pango_layout_get_extents(static_cast<PangoLayout*>(t.pangoLayout()), &ink, &logical);
            EXPECT_LE(logical.width / double(PANGO_SCALE), std::max(lines == 1 ? w : w / 2, 26.0) + 0.01) << kept;
            EXPECT_EQ(t.lineCount(), lines) << kept;
        }
    }
    EXPECT_GT(cutAtSpace, 4);
    // Lines left out without a width: the ellipsis follows the last one's last word.
    EXPECT_EQ(beforeEllipsis(TextLayout("eins \nzwei \ndrei", font, {.lineLimit = 2})), "eins \nzwei");
}

TEST(TextLayoutTest, ShrinkThenTruncateIsMonotoneAcrossWidthsAndBadFactorsMeanNoShrink) {
    const std::string title = "Accessibility Needed for Window Raising";
    const Font font = Font::system(13);
    const double natural = TextLayout(title, font).size().width;
    const double minScale = 0.85;
    // A width exactly the natural one needs no change at all.
    TextLayout exact(title, font, {.maxWidth = natural, .lineLimit = 1, .minimumScaleFactor = minScale});
    EXPECT_DOUBLE_EQ(exact.appliedFontSize(), 13);
    EXPECT_FALSE(exact.isTruncated());
    // Narrowing step by step: the size never grows back, truncation starts only once the size
    // has reached its floor and never stops again, and the block never overflows its width.
    double lastSize = 13;
    bool truncatedBefore = false;
    for (double f = 1.0; f >= 0.5; f -= 0.01) {
        const double maxWidth = natural * f;
        TextLayout t(title, font, {.maxWidth = maxWidth, .lineLimit = 1, .minimumScaleFactor = minScale});
        EXPECT_LE(t.appliedFontSize(), lastSize + 1e-9) << f;
        EXPECT_GE(t.appliedFontSize(), 13 * minScale * 0.99 - 1e-9) << f;
        EXPECT_LE(t.size().width, maxWidth + 1e-6) << f;
        EXPECT_EQ(t.lineCount(), 1);
        if (truncatedBefore) {
            EXPECT_TRUE(t.isTruncated()) << f;
        }
        if (t.isTruncated()) {
            EXPECT_LE(t.appliedFontSize(), 13 * minScale + 1e-9) << f;
        }
        if (f > minScale + 0.02) {
            EXPECT_FALSE(t.isTruncated()) << f;
        } else if (f < minScale - 0.02) {
            EXPECT_TRUE(t.isTruncated()) << f;
        }
        lastSize = t.appliedFontSize();
        truncatedBefore = t.isTruncated();
    }
    // Factors outside (0, 1] mean no shrinking: straight to truncation.
    for (double bad : {0.0, -0.5, 1.5, std::nan("")}) {
        TextLayout t(title, font, {.maxWidth = natural * 0.9, .lineLimit = 1, .minimumScaleFactor = bad});
        EXPECT_DOUBLE_EQ(t.appliedFontSize(), 13) << bad;
        EXPECT_TRUE(t.isTruncated()) << bad;
    }
    // No width at all, or a bad one, leaves a single line untouched.
    for (double w : {HUGE_VAL, -10.0, std::nan("")}) {
        TextLayout t(title, font, {.maxWidth = w, .lineLimit = 1, .minimumScaleFactor = minScale});
        EXPECT_DOUBLE_EQ(t.appliedFontSize(), 13) << w;
        EXPECT_FALSE(t.isTruncated()) << w;
        EXPECT_DOUBLE_EQ(t.size().width, natural) << w;
    }
}

TEST(TextLayoutTest, AOneLineLabelGoesToLayoutOnlyAsFarAsALineCanShowKeepingItsTruncation) {
    auto repeat = [](const std::string& unit, std::size_t bytes) {
        std::string s;
        while (s.size() < bytes) s += unit;
        return s;
    };
    auto laidOut = [](const TextLayout& t) {
        return std::string(pango_layout_get_text(static_cast<PangoLayout*>(t.pangoLayout())));
    };
    const Font font = Font::system(13);
    const TextOptions oneLine{.maxWidth = 300, .lineLimit = 1, .minimumScaleFactor = 0.5};
    // A long mixed-script label shows as a shorter one that already overflows its width does.
    const std::string unit = "Report \u0645\u0631\u062d\u0628\u0627 \u05e9\u05dc\u05d5\u05dd \u6f22\u5b57 ";
    const TextLayout shorter(repeat(unit, 900), font, oneLine), huge(repeat(unit, 400000), font, oneLine);
    EXPECT_TRUE(huge.isTruncated());
    EXPECT_EQ(huge.lineCount(), 1);
    EXPECT_DOUBLE_EQ(huge.appliedFontSize(), shorter.appliedFontSize());
    EXPECT_DOUBLE_EQ(huge.size().width, shorter.size().width);
    EXPECT_LT(laidOut(huge).size(), 40000u);
    // Cut between user-perceived characters, never inside one (an accent stays on its letter),
    // and, without a width, ending in an ellipsis.
    const std::string accented = repeat("e\u0301", 300000);
    const TextLayout free(accented, font);
    const std::string shown = laidOut(free);
    ASSERT_GT(shown.size(), 3u);
    EXPECT_LT(shown.size(), 40000u);
    EXPECT_EQ(shown.substr(shown.size() - 3), "\u2026");
    EXPECT_EQ(accented.compare(0, shown.size() - 3, shown, 0, shown.size() - 3), 0);
    EXPECT_EQ((shown.size() - 3) % 3, 0u);
    EXPECT_TRUE(free.isTruncated());
    EXPECT_EQ(free.text(), accented);
}

TEST(TextLayoutTest, WrapsToAWidthWithExtraLineSpacingAndALineLimit) {
    const std::string body = "Every pixel of this window is drawn by hand, in code, without borrowed artwork.";
    TextLayout tight(body, Font::system(12), {.maxWidth = 150});
    TextLayout spaced(body, Font::system(12), {.maxWidth = 150, .lineSpacing = 1.5});
    ASSERT_GE(tight.lineCount(), 3);
    EXPECT_EQ(spaced.lineCount(), tight.lineCount());
    EXPECT_NEAR(spaced.size().height - tight.size().height, 1.5 * (tight.lineCount() - 1), 0.5);
    EXPECT_LE(tight.size().width, 150);

    TextLayout two(body, Font::system(12), {.maxWidth = 150, .lineLimit = 2});
    EXPECT_EQ(two.lineCount(), 2);
    EXPECT_TRUE(two.isTruncated());

    TextLayout cjk("每一个像素都是手工绘制的没有借用任何图稿", Font::system(12), {.maxWidth = 60});
    EXPECT_GT(cjk.lineCount(), 1);  // breaks between Han characters without spaces
}

// What the second and later lines start with, each with the character before it.
std::vector<std::string> lineStarts(const TextLayout& t) {
    std::vector<std::string> starts;
    auto* layout = static_cast<PangoLayout*>(t.pangoLayout());
    const std::string text = pango_layout_get_text(layout);
    GSList* lines = pango_layout_get_lines_readonly(layout);
    for (GSList* l = lines ? lines->next : nullptr; l; l = l->next) {
        const int start = static_cast<PangoLayoutLine*>(l->data)->start_index;
        starts.push_back(text.substr(g_utf8_prev_char(text.c_str() + start) - text.c_str()));
    }
    return starts;
}

TEST(TextLayoutTest, KoreanBreaksAtSpacesUnlessAWordIsWiderThanTheLine) {
    const std::string text = "윈도우의 빨간색 × 버튼을 클릭합니다. 다른 윈도우는 열린 채로 유지됩니다.";
    int wrapped = 0;
    for (double width = 90; width <= 300; width += 3) {
        TextLayout t(text, Font::system(11.5), {.maxWidth = width, .lineSpacing = 1.5});
        wrapped += t.lineCount() > 1;
        for (const auto& start : lineStarts(t)) EXPECT_EQ(start[0], ' ') << width << ": " << start;
        EXPECT_LE(t.size().width, width + 0.01);
        EXPECT_EQ(t.missingGlyphCount(), 0);  // the marks that keep words whole draw nothing
    }
    EXPECT_GT(wrapped, 30);
    // A word longer than the whole line breaks between its syllables rather than running past it.
    const std::string long_ = "만사형통만사형통만사형통 복";
    TextLayout narrow(long_, Font::system(12), {.maxWidth = 50});
    EXPECT_GT(narrow.lineCount(), 2);
    PangoRectangle logical;
    pango_layout_get_extents(static_cast<PangoLayout*>(narrow.pangoLayout()), nullptr, &logical);
    EXPECT_LE(logical.width / double(PANGO_SCALE), 50.01);
    // Chinese and Japanese still break between characters.
    TextLayout ja("ウインドウの赤い × ボタンをクリックします。ほかのウインドウは開いたままです。",
                  Font::system(11.5), {.maxWidth = 120});
    EXPECT_GT(ja.lineCount(), 3);
}

TEST(TextLayoutTest, DrawnTextIsPlacedByItsAnchor) {
    auto rec = DrawRecorder::make({200, 100});
    GraphicsContext ctx = DrawRecorder::contextFor(rec);
    TextLayout t("W", Font::system(15, FontWeight::bold, FontDesign::rounded));
    ctx.draw(t, Point{100, 50}, Color::black(), UnitPoint::center());
    ctx.draw(t, Rect{0, 0, 34, 34}, Color::black());
    auto texts = rec->ofOp(DrawRecord::Op::text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_NEAR(texts[0].bounds.center().x, 100, 1e-9);
    EXPECT_NEAR(texts[0].bounds.center().y, 50, 1e-9);
    EXPECT_NEAR(texts[1].bounds.center().x, 17, 1e-9);
    EXPECT_EQ(texts[1].text, "W");
}

}  // namespace
}  // namespace quillmar::gfx
