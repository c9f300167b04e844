// Texts of the settings tabs keep to their places in all six languages: no text runs into another
// element (a switch, a button, a slider, another text), and a row of one line keeps its fixed
// height with its texts inside it, however long the translation.

#include <pango/pango.h>

#include "localization/app_language.h"
#include "localization/l10n.h"
#include "settings_fixture.h"

namespace quillmar::testing {
namespace {

class SettingsTextFitTest : public SettingsViewTest {};

void collectLeaves(const ui::AccessibilityElement& e, std::vector<const ui::AccessibilityElement*>& out) {
    if (e.children.empty() && e.role != "window") out.push_back(&e);
    for (const auto& c : e.children) collectLeaves(c, out);
}

// Overlap of two frames with some area; a text is widened by 1 pt on either side, so a text that
// merely touches its neighbour counts too.
bool runsInto(const ui::Rect& text, const ui::Rect& other) {
    const ui::Rect widened{text.x - 1, text.y, text.width + 2, text.height};
    const double w = std::min(widened.maxX(), other.maxX()) - std::max(widened.minX(), other.minX());
    const double h = std::min(widened.maxY(), other.maxY()) - std::max(widened.minY(), other.minY());
    return w > 0.01 && h > 0.01;
}

TEST_F(SettingsTextFitTest, NoTextRunsIntoAnotherElementOrLeavesItsRow) {
    addApps(6);
    // Rows of one line and their fixed heights (the named view is the row or its content), and the
    // size of the title of those that end in a switch or a button: a title cut short (shrunk or
    // truncated) has all the width up to 8 pt before its control.
    struct Row {
        const char* name;
        double height;
        double titleSize;  // 0: no trailing control
    };
    const Row rows[] = {
        {"hapticsRow", 31.5, 13},       {"singleFingerRow", 31.5, 13},         {"suppressScrollRow", 31.5, 13},
        {"pauseInGamesRow", 31.5, 13},  {"accessibilityRow", 35, 13},          {"launchAtLoginRow", 31.5, 13},
        {"quickKeysToggleRow", 38, 13}, {"quickKeysAccessibilityRow", 36, 12}, {"escapeRow", 36, 0},
    };
    int titlesCut = 0;
    int rowsSeen = 0;
    for (bool trusted : {false, true}) {
        setTrusted(trusted);
        WindowManager::shared().refreshAccessibilityTrust();
        forEveryLanguageAndTab([&](const char* language, SettingsTab tab, ui::HostingView& host) {
            const std::string where =
                std::string(language) + " " + std::string(tab.rawValue()) + (trusted ? " trusted" : "");
            const auto tree = host.accessibilityTree();
            std::vector<const ui::AccessibilityElement*> leaves;
            collectLeaves(tree, leaves);
            for (const auto* text : leaves) {
                if (text->role != "text") continue;
                for (const auto* other : leaves) {
                    if (other == text) continue;
                    EXPECT_FALSE(runsInto(text->frame, other->frame))
                        << where << ": \"" << text->label << "\" runs into " << other->role << " \""
                        << other->label << "\"";
                }
            }
            for (const auto& [name, height, titleSize] : rows) {
                const auto content = host.frame(name);
                if (!content) continue;
                ++rowsSeen;
                const ui::AccessibilityElement *title = nullptr, *control = nullptr;
                EXPECT_LE(content->height, height + 0.01) << where << ": " << name << " grew";
                const double top = content->midY() - height / 2, bottom = content->midY() + height / 2;
                for (const auto* text : leaves) {
                    const auto& f = text->frame;
                    if (text->role != "text" || f.midY() < top || f.midY() > bottom ||
                        f.midX() < content->minX() || f.midX() > content->maxX())
                        continue;
                    // One line: two would take most of the row's height.
                    EXPECT_LT(f.height, 0.6 * height)
                        << where << ": \"" << text->label << "\" wraps in " << name;
                    EXPECT_GE(f.minY(), top - 0.01) << where << ": \"" << text->label << "\" leaves " << name;
                    EXPECT_LE(f.maxY(), bottom + 0.01)
                        << where << ": \"" << text->label << "\" leaves " << name;
                    EXPECT_LE(f.maxX(), content->maxX() + 0.01)
                        << where << ": \"" << text->label << "\" leaves " << name;
                    if (!title || f.width > title->frame.width) title = text;
                }
                for (const auto* leaf : leaves)
                    if ((leaf->role == "button" || leaf->role == "toggle") && leaf->frame.midY() > top &&
                        leaf->frame.midY() < bottom && leaf->frame.midX() > content->midX())
                        control = leaf;
                if (titleSize > 0 && title && control &&
                    gfx::TextLayout(title->label, gfx::Font::system(titleSize)).size().width > title->frame.width + 0.5) {
                    ++titlesCut;
                    EXPECT_LE(control->frame.minX() - title->frame.maxX(), 8.5)
                        << where << ": \"" << title->label << "\" is cut short of " << name << "'s control";
                }
            }
        });
    }
    // Every row was found in every language and trust state (the note shows only untrusted).
    EXPECT_EQ(rowsSeen, 6 * (9 + 8));
    EXPECT_GE(titlesCut, 4);  // German and others do cut titles beside switches and buttons
}

TEST_F(SettingsTextFitTest, KoreanShortcutsAndAboutTextsBreakOnlyBetweenWords) {
    platform::sim::SimPreferredLanguages::install({"ko-KR"});
    AppLanguage::chooseAgain();
    struct Body {
        SettingsTab tab;
        std::string text;
        double size;
    };
    const Body bodies[] = {{SettingsTab::shortcuts, L10n::shortcutWBody(), 11.5},
                           {SettingsTab::shortcuts, L10n::shortcutQBody(), 11.5},
                           {SettingsTab::shortcuts, L10n::minimizedCardBody(), 11.5},
                           {SettingsTab::about, L10n::independentCraftBody(), 12}};
    int breaks = 0;
    for (const auto& body : bodies) {
        ui().activeTab = body.tab;
        auto& host = show();
        const auto tree = host.accessibilityTree();
        const auto* element = tree.find(body.text);
        ASSERT_TRUE(element) << body.text;
        // The text as the tab lays it out: same width, same lines.
        gfx::TextLayout layout(body.text, gfx::Font::system(body.size),
                               {.maxWidth = element->frame.width + 0.01, .lineSpacing = 1.5});
        EXPECT_NEAR(layout.size().height, element->frame.height, 0.5) << body.text;
        auto* pango = static_cast<PangoLayout*>(layout.pangoLayout());
        const std::string laidOut = pango_layout_get_text(pango);
        GSList* lines = pango_layout_get_lines_readonly(pango);
        for (GSList* l = lines ? lines->next : nullptr; l; l = l->next) {
            const int start = static_cast<PangoLayoutLine*>(l->data)->start_index;
            ++breaks;
            EXPECT_EQ(laidOut[start - 1], ' ') << "a line starts inside a word: " << laidOut.substr(start);
        }
    }
    EXPECT_GE(breaks, 6);  // the bodies do wrap
}

}  // namespace
}  // namespace quillmar::testing
