#include "platform/json_file_defaults_store.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/json_nesting.h"
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

// What stands at the settings file's name, made in the test's own folder (never a real device).
enum class Node { nullDevice, zeroDevice, fifo, socket, folder, linkToZeroDevice, linkToFile };

const char* nodeName(Node n) {
    switch (n) {
        case Node::nullDevice: return "a character device that reads empty";
        case Node::zeroDevice: return "a character device that reads zeros without end";
        case Node::fifo: return "a FIFO";
        case Node::socket: return "a socket";
        case Node::folder: return "a folder";
        case Node::linkToZeroDevice: return "a link to that device";
        case Node::linkToFile: return "a link to a settings file";
    }
    return "";
}

// Makes the node; false when this system does not let the test make it (a device without root).
bool makeNode(Node n, const fs::path& at, int* socketFd) {
    const fs::path side = at.parent_path() / "elsewhere";
    switch (n) {
        case Node::nullDevice: return ::mknod(at.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
        case Node::zeroDevice: return ::mknod(at.c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0;
        case Node::fifo: return ::mkfifo(at.c_str(), 0600) == 0;
        case Node::socket: {
            *socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un addr{};
            addr.sun_family = AF_UNIX;
            if (at.string().size() >= sizeof addr.sun_path) return false;
            std::strcpy(addr.sun_path, at.c_str());
            return ::bind(*socketFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
        }
        case Node::folder: return fs::create_directory(at);
        case Node::linkToZeroDevice:
            if (::mknod(side.c_str(), S_IFCHR | 0600, makedev(1, 5)) != 0) return false;
            fs::create_symlink(side, at);
            return true;
        case Node::linkToFile:
            std::ofstream(side) << R"({"fingerCount": 4})";
            fs::create_symlink(side, at);
            return true;
    }
    return false;
}

TEST_F(JsonFileDefaultsStoreTest, OnlyARegularFileIsEverReadMovedAsideOrReplaced) {
    for (Node n : {Node::nullDevice, Node::zeroDevice, Node::fifo, Node::socket, Node::folder, Node::linkToZeroDevice,
                   Node::linkToFile}) {
        SCOPED_TRACE(nodeName(n));
        file = dir / "s.json";  // short enough for a socket's address
        fs::remove_all(dir);
        fs::create_directories(dir);
        int socketFd = -1;
        if (!makeNode(n, file, &socketFd)) {
            if (socketFd >= 0) ::close(socketFd);
            continue;  // not allowed to make device nodes here
        }
        struct stat before {};
        ASSERT_EQ(::lstat(file.c_str(), &before), 0);
        const auto entries = filesInDir();

        UserDefaults d(std::make_unique<JsonFileDefaultsStore>(file));
        auto& store = static_cast<JsonFileDefaultsStore&>(d.store());
        ASSERT_TRUE(store.problem());
        EXPECT_NE(store.problem()->find("not a regular file"), std::string::npos) << *store.problem();
        EXPECT_FALSE(store.lastLoadWasDamaged());
        EXPECT_FALSE(d.hasPersistedValue("fingerCount"));  // a linked file is not followed either
        d.set("fingerCount", 3);                            // kept in memory for the run...
        EXPECT_EQ(d.integerForKey("fingerCount"), 3);
        EXPECT_FALSE(store.save({{"fingerCount", 3}}));     // ...and never written

        struct stat after {};
        ASSERT_EQ(::lstat(file.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_rdev, before.st_rdev);
        EXPECT_EQ(filesInDir(), entries);  // nothing moved aside, no temporary left
        if (socketFd >= 0) ::close(socketFd);
    }
}

TEST_F(JsonFileDefaultsStoreTest, AFailedReadOrAnOversizedFileIsNotTakenForDamage) {
    // A regular file whose read fails: this process's own memory file fails at offset 0 (EIO).
    JsonFileDefaultsStore unreadable("/proc/self/mem");
    EXPECT_TRUE(unreadable.load().empty());
    ASSERT_TRUE(unreadable.problem());
    EXPECT_NE(unreadable.problem()->find("cannot be read"), std::string::npos) << *unreadable.problem();
    EXPECT_FALSE(unreadable.lastLoadWasDamaged());
    EXPECT_TRUE(unreadable.quarantinedCopy().empty());

    // One byte over the limit: not read, not moved, not replaced.
    {
        std::ofstream f(file, std::ios::binary);
        f << "{\"a\": \"" << std::string(kMaxJsonFileBytes - 8, 'x') << "\"}";
    }
    ASSERT_EQ(fs::file_size(file), kMaxJsonFileBytes + 1);
    JsonFileDefaultsStore store(file);
    EXPECT_TRUE(store.load().empty());
    ASSERT_TRUE(store.problem());
    EXPECT_FALSE(store.lastLoadWasDamaged());
    EXPECT_FALSE(store.save({{"a", 1}}));
    EXPECT_EQ(fs::file_size(file), kMaxJsonFileBytes + 1);
    EXPECT_EQ(filesInDir(), 1u);
    // At the limit it is read.
    fs::resize_file(file, kMaxJsonFileBytes);
    std::ofstream(file, std::ios::binary | std::ios::in).seekp(kMaxJsonFileBytes - 2) << "\"}";
    EXPECT_EQ(store.load().at("a").get<std::string>().size(), kMaxJsonFileBytes - 9);
    EXPECT_FALSE(store.problem());
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
    // A save killed part-way leaves its temporary behind; the next save clears it. Only regular
    // files of that store's pattern go.
    std::ofstream(dir / "com.quillmar.macos.json.tmp-Zx81Qa") << "{";
    fs::create_directory(dir / "com.quillmar.macos.json.tmp-folder");
    std::ofstream(dir / "other.json.tmp-Zx81Qa") << "{";
    ASSERT_TRUE(store.save({{"a", 3}}));
    EXPECT_FALSE(fs::exists(dir / "com.quillmar.macos.json.tmp-Zx81Qa"));
    EXPECT_TRUE(fs::exists(dir / "com.quillmar.macos.json.tmp-folder"));
    EXPECT_TRUE(fs::exists(dir / "other.json.tmp-Zx81Qa"));
    fs::remove(dir / "com.quillmar.macos.json.tmp-folder");
    fs::remove(dir / "other.json.tmp-Zx81Qa");
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
