#include "platform/window_info.h"

#include <gtest/gtest.h>

namespace quillmar::platform {
namespace {

TEST(WindowInfoTest, AValueOfAnotherTypeReadsAsMissing) {
    WindowInfo w(nlohmann::json{{"pid", 42},
                                {"big", 5000000000LL},
                                {"neg", -1},
                                {"flag", true},
                                {"frac", 0.5},
                                {"one", 1},
                                {"text", "7"},
                                {"b", {{"X", 1}, {"Y", 2.5}, {"Width", 3}, {"Height", 4}}}});
    EXPECT_EQ(w.int32("pid"), 42);
    EXPECT_FALSE(w.int32("big"));  // out of the 32-bit range
    EXPECT_EQ(w.integer("big"), 5000000000LL);
    EXPECT_FALSE(w.uint32("neg"));
    EXPECT_FALSE(w.integer("flag"));  // a boolean is not a number
    EXPECT_FALSE(w.number("flag"));
    EXPECT_FALSE(w.integer("frac"));
    EXPECT_EQ(w.number("one"), 1.0);
    EXPECT_FALSE(w.boolean("one"));
    EXPECT_FALSE(w.int32("text"));
    EXPECT_FALSE(w.string("missing"));
    EXPECT_TRUE(w.dictionary("b"));
    EXPECT_FALSE(w.dictionary("text"));
    EXPECT_FALSE(WindowInfo(nlohmann::json::array()).contains("pid"));  // not a dictionary: empty
}

TEST(WindowInfoTest, BoundsConvertOnlyWhenWhole) {
    EXPECT_EQ(rectFromDictionary({{"X", 1}, {"Y", 2.5}, {"Width", 3}, {"Height", 4}}), (Rect{1, 2.5, 3, 4}));
    EXPECT_FALSE(rectFromDictionary({{"X", 1}, {"Y", 2}, {"Width", 3}}));
    EXPECT_FALSE(rectFromDictionary({{"X", "1"}, {"Y", 2}, {"Width", 3}, {"Height", 4}}));
    EXPECT_FALSE(rectFromDictionary(nlohmann::json::array({1, 2, 3, 4})));
    EXPECT_EQ(rectFromDictionary(dictionaryFromRect({-5, 6, 7, 8})), (Rect{-5, 6, 7, 8}));
}

}  // namespace
}  // namespace quillmar::platform
