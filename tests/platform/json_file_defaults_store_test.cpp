#include "platform/json_file_defaults_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/fresh_world.h"
#include "support/temp_path.h"

namespace quillmar::platform {
namespace {

namespace fs = std::filesystem;

class JsonFileDefaultsStoreTest : public testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        dir = quillmar::testing::uniqueTempPath("defaults");
        fs::remove_all(dir);
        fs::create_directories(dir);
        file = dir / "com.quillmar.macos.json";
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
        FreshWorldTest::TearDown();
    }
    void write(const std::string& text) { std::ofstream(file, std::ios::binary) << text; }
    std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::size_t filesInDir() {
        std::size_t n = 0;
        for ([[maybe_unused]] auto& e : fs::directory_iterator(dir)) ++n;
        return n;
    }

    fs::path dir, file;
};

TEST_F(JsonFileDefaultsStoreTest, RoundTripKeepsUntouchedKeysOfEveryType) {
    write(R"({"fingerCount": "three", "future": {"nested": [1, 2]}, "isEnabled": true})");
    {
        UserDefaults d(std::make_unique<JsonFileDefaultsStore>(file));
        EXPECT_EQ(d.integerForKey("fingerCount"), 0);  // a string that is no number reads as 0...
        d.set("hudScale", 1.25);
    }
    UserDefaults again(std::make_unique<JsonFileDefaultsStore>(file));
    EXPECT_EQ(again.object("fingerCount"), DefaultsValue("three"));  // ...but is kept as it was
    EXPECT_EQ(again.object("future"), DefaultsValue::parse(R"({"nested": [1, 2]})"));
    EXPECT_TRUE(again.boolForKey("isEnabled"));
    EXPECT_DOUBLE_EQ(again.doubleForKey("hudScale"), 1.25);
    EXPECT_EQ(filesInDir(), 1u);  // no temporary left behind
}

TEST_F(JsonFileDefaultsStoreTest, MissingOrEmptyFileIsAFreshDomain) {
    JsonFileDefaultsStore store(file);
    EXPECT_TRUE(store.load().empty());
    EXPECT_FALSE(store.lastLoadWasDamaged());
    write("  \n");
    EXPECT_TRUE(store.load().empty());
    EXPECT_FALSE(store.lastLoadWasDamaged());
    EXPECT_TRUE(fs::exists(file));
}

TEST_F(JsonFileDefaultsStoreTest, HalfWrittenFileKeepsCompleteMembersAndQuarantinesTheRest) {
    const std::string full = R"({"a": 1, "b": {"x": [1, 2]}, "c": "text", "d": 12345})";
    // Cut the file at every length: never a crash, never a wrong value, a copy kept each time.
    for (std::size_t cut = 1; cut < full.size(); ++cut) {
        write(full.substr(0, cut));
        JsonFileDefaultsStore store(file);
        auto values = store.load();
        ASSERT_TRUE(store.lastLoadWasDamaged()) << cut;
        ASSERT_FALSE(store.quarantinedCopy().empty());
        EXPECT_EQ(read(store.quarantinedCopy()), full.substr(0, cut));
        fs::remove(store.quarantinedCopy());
        auto original = DefaultsValue::parse(full);
        for (const auto& [k, v] : values) EXPECT_EQ(v, original[k]) << "cut at " << cut << " key " << k;
        if (cut >= full.find("\"b\"") + 3) {
            EXPECT_TRUE(values.count("a")) << cut;  // "a" is complete once the next key is
        }
    }
}

TEST_F(JsonFileDefaultsStoreTest, GarbageAndWrongShapesStartFromDefaultsWithoutLosingTheFile) {
    for (const std::string text : {"\x01\x02garbage", "[1, 2, 3]", "42", "{\"a\": 1,, }"}) {
        write(text);
        UserDefaults d(std::make_unique<JsonFileDefaultsStore>(file));
        d.registerDefaults({{"fingerCount", 3}});
        EXPECT_EQ(d.integerForKey("fingerCount"), 3) << text;
        auto& store = static_cast<JsonFileDefaultsStore&>(d.store());
        ASSERT_TRUE(store.lastLoadWasDamaged()) << text;
        EXPECT_EQ(read(store.quarantinedCopy()), text);
        d.set("fingerCount", 4);  // the next save writes a sound file in its place
        EXPECT_EQ(DefaultsValue::parse(read(file))["fingerCount"], 4);
    }
    // Each damaged file got a copy of its own.
    EXPECT_TRUE(fs::exists(dir / "com.quillmar.macos.json.unreadable"));
    EXPECT_TRUE(fs::exists(dir / "com.quillmar.macos.json.unreadable-4"));
}

TEST_F(JsonFileDefaultsStoreTest, FailedSavesReportFailureAndLeaveNothingBehind) {
    // A "directory" that is a file cannot take the temporary file.
    std::ofstream(dir / "plain") << "x";
    JsonFileDefaultsStore blocked(dir / "plain" / "prefs.json");
    EXPECT_FALSE(blocked.save({{"a", 1}}));
    // The final rename fails (a directory sits where the file belongs): no stray temporary.
    fs::create_directories(file / "occupied");
    JsonFileDefaultsStore store(file);
    EXPECT_FALSE(store.save({{"a", 2}}));
    EXPECT_EQ(filesInDir(), 2u);
    fs::remove_all(file);
    // An unwritable directory (not for root, who writes anyway).
    ASSERT_TRUE(store.save({{"a", 1}}));
    if (::geteuid() != 0) {
        fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(store.save({{"a", 2}}));
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
    }
    EXPECT_EQ(store.load().at("a"), 1);
}

TEST_F(JsonFileDefaultsStoreTest, SaveIntoMissingDirectoryAndLeftoverTemporaryFiles) {
    JsonFileDefaultsStore nested(dir / "sub" / "prefs.json");
    EXPECT_TRUE(nested.save({{"k", "v"}}));
    EXPECT_EQ(nested.load().at("k"), "v");
    // A crash between writing the temporary file and the rename leaves the old file whole; the
    // stray temporary is cleared on the next load.
    JsonFileDefaultsStore store(file);
    ASSERT_TRUE(store.save({{"a", 1}}));
    std::ofstream(dir / "com.quillmar.macos.json.tmp-abc123") << R"({"a": 2, "b)";
    EXPECT_EQ(store.load().at("a"), 1);
    EXPECT_FALSE(fs::exists(dir / "com.quillmar.macos.json.tmp-abc123"));
    // A string that is not valid UTF-8 is written (repaired), not refused.
    EXPECT_TRUE(store.save({{"bad", std::string("a\xff" "b")}}));
    EXPECT_TRUE(store.load().count("bad"));
}

TEST_F(JsonFileDefaultsStoreTest, DeeplyNestedMemberIsDroppedAndTheRecoveredSettingsAreWrittenBack) {
    // A member nested far past anything a setting holds would overflow the parser's caller; it
    // goes, its neighbours stay, and the next start finds them without the damaged file.
    write("{\"fingerCount\": 3, \"bomb\": " + std::string(70'000, '[') + std::string(70'000, ']') +
          ", \"isEnabled\": false}");
    JsonFileDefaultsStore store(file);
    auto values = store.load();
    EXPECT_TRUE(store.lastLoadWasDamaged());
    EXPECT_EQ(values.count("bomb"), 0u);
    EXPECT_EQ(values.at("fingerCount"), 3);
    EXPECT_EQ(values.at("isEnabled"), false);
    EXPECT_TRUE(fs::exists(store.quarantinedCopy()));

    JsonFileDefaultsStore nextStart(file);
    auto again = nextStart.load();
    EXPECT_FALSE(nextStart.lastLoadWasDamaged());
    EXPECT_EQ(again, values);
}

TEST_F(JsonFileDefaultsStoreTest, RecoveredMembersOfACutOffFileSurviveTheNextStart) {
    write("{\"fingerCount\": 4, \"switchBarStyle\": \"vertical\", \"hudScale\": 1.");
    JsonFileDefaultsStore store(file);
    auto values = store.load();
    ASSERT_TRUE(store.lastLoadWasDamaged());
    JsonFileDefaultsStore nextStart(file);
    EXPECT_EQ(nextStart.load(), values);
    EXPECT_EQ(values.at("switchBarStyle"), "vertical");
}

}  // namespace
}  // namespace quillmar::platform
