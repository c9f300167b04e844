#include <gtest/gtest.h>

#include "windows/switch_target.h"
#include "windows/window_label.h"

namespace quillmar {
namespace {

TEST(WindowLabelTest, CleansTitlesAsTheTableSays) {
    struct Case {
        const char* title;
        const char* app;
        const char* expected;
    };
    const Case cases[] = {
        {"  Inbox \n", "Mail", "Inbox"},
        {"Mail", "Mail", "Mail"},
        {"", "Mail", "Mail"},
        {" \t ", "Mail", "Mail"},
        {"Notes \u2014 TextEdit", "TextEdit", "Notes"},
        {"Notes \u2014 textedit", "TextEdit", "Notes"},
        {"Docs - Google Chrome", "Google Chrome", "Docs"},
        {"Docs - Google Chrome", "Preview", "Docs"},
        {"Page \u2013 Brave Browser", "Brave Browser", "Page"},
        {"Page \u2013 Brave Browser", "Other", "Page"},
        {"A - B - Safari", "Safari", "A - B"},
        {" - Safari", "Finder", "- Safari"},
        {"Mail \u2014 Mail", "Mail", "Mail"},
        // Several suffixes in turn: the app name, then a browser name.
        {"Tab - Safari \u2014 Reader", "Reader", "Tab"},
        // Only whole suffixes go; a name merely ending the title stays.
        {"MySafari", "Safari", "MySafari"},
        // A non-breaking space counts as white space when trimming.
        {"\u00a0Report\u00a0", "Pages", "Report"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cleanWindowLabel(c.title, c.app), c.expected) << "title: " << c.title << " app: " << c.app;
    }
}

TEST(WindowLabelTest, ALabelAskedForAgainIsTheSameAndPairsThatSpellAlikeStayApart) {
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(cleanWindowLabel("Notes - Editor", "Editor"), "Notes");
        // Name + title read alike in both pairs; only the first pair's name is appended.
        EXPECT_EQ(cleanWindowLabel("Ab - Ab", "Ab - "), "Ab - Ab");
        EXPECT_EQ(cleanWindowLabel("Ab - Ab - Ab", ""), "Ab - Ab - Ab");
        EXPECT_EQ(cleanWindowLabel("x - Ab", "Ab"), "x");
    }
    // Far more titles than are kept: each still gets its own label.
    for (int i = 0; i < 10000; i += 97)
        EXPECT_EQ(cleanWindowLabel("Doc " + std::to_string(i) + " - Editor", "Editor"), "Doc " + std::to_string(i));
    for (int i = 0; i < 10000; ++i) cleanWindowLabel("Sheet " + std::to_string(i), "Ledger");
    EXPECT_EQ(cleanWindowLabel("Sheet 7 - Ledger", "Ledger"), "Sheet 7");
}

TEST(WindowLabelTest, CaseFoldingThatChangesLengthCutsAtTheMatchStart) {
    // "ß" folds to "ss": the matched tail of the title is shorter or longer than the name passed.
    EXPECT_EQ(cleanWindowLabel("Report - Stra\u00dfe", "STRASSE"), "Report");
    EXPECT_EQ(cleanWindowLabel("Report - STRASSE", "Stra\u00dfe"), "Report");
    // A dotted capital I folds to two code points.
    EXPECT_EQ(cleanWindowLabel("Plan \u2014 \u0130stanbul", "i\u0307stanbul"), "Plan");
    // No match: nothing is cut, whatever the lengths.
    EXPECT_EQ(cleanWindowLabel("Report - Strase", "STRASSE"), "Report - Strase");
}

TEST(WindowLabelTest, ComposedAndDecomposedAccentsMatch) {
    // "Café" written with a precomposed é in one place and e + combining acute in the other.
    EXPECT_EQ(cleanWindowLabel("Menu - Caf\u00e9", "Cafe\u0301"), "Menu");
    EXPECT_EQ(cleanWindowLabel("Menu - Cafe\u0301", "Caf\u00e9"), "Menu");
    EXPECT_EQ(cleanWindowLabel("Cafe\u0301", "Caf\u00e9"), "Caf\u00e9");  // the title is the app's name
    // Invalid UTF-8 passes through untouched.
    EXPECT_EQ(cleanWindowLabel("Doc \xff - Notes", "Notes"), "Doc \xff");
}

TEST(WindowLabelTest, RunsOfCombiningMarksAreCutAfterThirty) {
    const auto repeat = [](const std::string& piece, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += piece;
        return out;
    };
    const std::string below = "\u0316";  // combining grave accent below: no precomposed letter takes it
    // Thirty marks on a letter stay; a longer run keeps its first thirty, and the suffix after it still goes.
    EXPECT_EQ(cleanWindowLabel("e" + repeat(below, 30) + " - Editor", "Editor"), "e" + repeat(below, 30));
    EXPECT_EQ(cleanWindowLabel("e" + repeat(below, 5000) + "f - Editor", "Editor"), "e" + repeat(below, 30) + "f");
    // An app name with a long run is cut alike, so the title still ends with it.
    const std::string name = "N" + repeat(below, 40);
    EXPECT_EQ(cleanWindowLabel("Doc - " + name, name), "Doc");
    // A sign that decomposes into two marks counts as two, so none passes a run one short of the bound.
    EXPECT_EQ(cleanWindowLabel("x" + repeat("\u0f73", 100), "Atlas").size(), 1u + 30u * 3u);
    EXPECT_EQ(cleanWindowLabel("x" + repeat(below, 29) + "\u0f73y", "Atlas"), "x" + repeat(below, 29) + "y");
}

TEST(SwitchTargetTest, DefaultsEqualityAndRelabelling) {
    SwitchTarget window({.id = "win-7", .pid = 42, .windowID = 7u, .appName = "TextEdit",
                         .windowTitle = "Notes \u2014 TextEdit", .bounds = {0, 0, 500, 400}});
    EXPECT_EQ(window.cleanedWindowTitle, "Notes");
    EXPECT_EQ(window.displayLabel, "TextEdit");
    EXPECT_TRUE(window.hasOpenWindow);

    SwitchTarget app({.id = "app-42", .pid = 42, .appName = "TextEdit", .windowTitle = "Whatever",
                      .isAppOnly = true, .isMinimizedOrHidden = true});
    EXPECT_EQ(app.cleanedWindowTitle, "TextEdit");
    EXPECT_FALSE(app.hasOpenWindow);

    // Bounds, pid and names take no part in equality; labels and flags do.
    SwitchTarget moved = window;
    moved.bounds = {300, 300, 10, 10};
    moved.pid = 7;
    EXPECT_EQ(moved, window);
    EXPECT_NE(window.withDisplayLabel("Notes"), window);
    SwitchTarget parked = window;
    parked.isMinimizedOrHidden = true;
    EXPECT_NE(parked, window);

    const SwitchTarget relabelled = window.withDisplayLabel("Notes");
    EXPECT_EQ(relabelled.displayLabel, "Notes");
    EXPECT_EQ(relabelled.windowID, window.windowID);
    EXPECT_EQ(relabelled.bounds, window.bounds);
}

}  // namespace
}  // namespace quillmar
