#include "platform/json_object_members.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace quillmar::platform {
namespace {

// The scanner takes a text for a sound object exactly when the JSON library reads it as one, and
// each value it finds reads as the library's own.
TEST(JsonObjectMembersTest, SoundExactlyWhenTheLibraryReadsAnObject) {
    for (const std::string text : {
             R"({})", " \t\r\n{ } ", "\xEF\xBB\xBF{\"a\":1}", R"({"a":[],"b":{},"c":[{"d":[null,true,false]}]})",
             R"({"n":-0,"m":0.5e-3,"o":1E+2,"p":12345678901234567890123})", R"({"s":"\"\\\/\b\f\n\r\t\u00e9\ud83d\ude00"})",
             "{\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\":1}", R"({"a":1,"a":2})",
             // damaged
             R"({"a":01})", R"({"a":1.})", R"({"a":.5})", R"({"a":-})", R"({"a":1e})", R"({"a":+1})", R"({"a":1,})",
             R"({"a":1}x)", R"({"a":tru})", R"({"a":"\x"})", R"({"a":"\u12G4"})", R"({"a":"\ud800"})",
             R"({"a":"\udc00\ud800"})", R"({"a":"\udc00"})", R"({"a":"\ud800\u0041"})", "{\"a\":\"\x01\"}", "{\"a\":\"\xC0\xAF\"}",
             "{\"a\":\"\xED\xA0\x80\"}", "{\"a\":\"\xF4\x90\x80\x80\"}", "{\"a\":\"\xE2\x82\"}", R"({"a" 1})",
             R"({a:1})", R"({"a":[1,]})", R"({"a":[1 2]})", R"({"a":{"b"}})", R"({"a":{"b":1,}})", R"([1])", R"("s")",
             "\xEF\xBB{}", R"({"a":1)"}) {
        SCOPED_TRACE(text);
        const auto members = JsonObjectMembers::read(text);
        const auto whole = nlohmann::json::parse(text, nullptr, false);
        EXPECT_EQ(members.sound(), !whole.is_discarded() && whole.is_object());
        if (!members.sound()) continue;
        ASSERT_EQ(members.size(), whole.size());
        for (std::size_t i = 0; i < members.size(); ++i)
            EXPECT_EQ(nlohmann::json::parse(members[i].value), whole.at(std::string(members[i].key)));
    }
}

// Written back with changes, members keep their order and unchanged values their text; keys are
// written compactly, and one that needs escapes reads back as itself.
TEST(JsonObjectMembersTest, ChangesAreMergedInOrderAndTheRestKeepsItsText) {
    const auto read = JsonObjectMembers::read(R"({ "b" : 2.50 , "d\u0041" :[1, 2], "q\"" : "x", "z":1e400 })");
    ASSERT_TRUE(read.sound());
    const JsonObjectMembers::Changes changes{{"a", "1"}, {"b", std::nullopt}, {"c", "true"}, {"q\"", "\"y\""}, {"zz", "0"}};
    const auto written = read.withChanges(changes);
    EXPECT_EQ(written.text(), R"({"a":1,"c":true,"dA":[1, 2],"q\"":"y","z":1e400,"zz":0})");
    // Whether a merge passes a limit, and its length, are known before it is written, of what was
    // read and of what was written.
    const JsonObjectMembers::Changes all{{"a", std::nullopt}, {"c", std::nullopt}, {"dA", std::nullopt},
                                        {"q\"", std::nullopt}, {"z", std::nullopt}, {"zz", std::nullopt}, {"\n", "[]"}};
    const JsonObjectMembers none;
    for (const auto& [members, changed] :
         {std::pair{&read, &changes}, {&written, &changes}, {&written, &all}, {&none, &changes}}) {
        const std::size_t length = members->withChanges(*changed).text().size();
        std::size_t found = 0;
        EXPECT_TRUE(members->longerWithChanges(*changed, length - 1, &found));
        EXPECT_EQ(found, length);
        EXPECT_FALSE(members->longerWithChanges(*changed, length, &found));
    }
    const auto again = JsonObjectMembers::read(written.text());
    ASSERT_EQ(again.size(), written.size());
    for (std::size_t i = 0; i < again.size(); ++i) {
        EXPECT_EQ(again[i].key, written[i].key);
        EXPECT_EQ(again[i].value, written[i].value);
    }
    EXPECT_EQ(written.find("q\"")->value, "\"y\"");
    EXPECT_EQ(readableJsonKey("k\xFF"), "k\xEF\xBF\xBD");
}

}  // namespace
}  // namespace quillmar::platform
