#include "platform/json_file_defaults_store.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>

#include "platform/atomic_file_calls.h"
#include "platform/compact_json.h"
#include "platform/file_descriptor.h"
#include "platform/json_nesting.h"
#include "runtime/main_loop.h"
#include "support/file_size_limit.h"
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
    // Besides the lock file, which stays once made.
    std::size_t filesInDir() {
        std::size_t n = 0;
        for (auto& e : fs::directory_iterator(dir)) n += e.path().extension() != ".lock";
        return n;
    }
    // A file such as a save killed part-way leaves behind (or one that only looks like it).
    void leftover(const std::string& name, mode_t mode = 0600) {
        const int fd = ::open((dir / name).c_str(), O_WRONLY | O_CREAT | O_EXCL, mode);
        ASSERT_GE(fd, 0) << name;
        ::fchmod(fd, mode);
        ::close(fd);
    }
    static mode_t modeOf(const fs::path& p) {
        struct stat st {};
        ::lstat(p.c_str(), &st);
        return st.st_mode & 07777;
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
    // A save keeps the mode of the file it replaces, a read-only one's too, but for set-ID bits.
    for (auto [mode, kept] : {std::pair<mode_t, mode_t>{0644, 0644}, {0444, 0444}, {02755, 0755}}) {
        ::chmod(file.c_str(), mode);
        again.set("hudScale", static_cast<int>(mode));
        again.synchronize();
        EXPECT_EQ(modeOf(file), kept);
    }
}

TEST_F(JsonFileDefaultsStoreTest, ASettingsFileOfTheLongestNameIsLockedAndSaved) {
    // Neither the lock file's name nor the temporary one may pass the folder's longest name, and
    // the lock is never the settings file itself (a longest name ending as a lock file's does).
    // A damaged file of such a name is kept under a copy's name cut to fit.
    for (const std::string& name : {std::string(253, 's'), std::string(250, 's') + ".lock"}) {
        SCOPED_TRACE(name.size());
        fs::remove_all(dir);
        fs::create_directories(dir);
        file = dir / name;
        write(R"({"hudScale": 0.5, "cut)");
        {
            UserDefaults d(std::make_unique<JsonFileDefaultsStore>(file));
            d.set("hudScale", 1.5);
            d.set("hudScale", 2.5);
        }
        UserDefaults again(std::make_unique<JsonFileDefaultsStore>(file));
        EXPECT_DOUBLE_EQ(again.doubleForKey("hudScale"), 2.5);
        EXPECT_EQ(read(dir / (name.substr(0, 244) + ".unreadable")), R"({"hudScale": 0.5, "cut)");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);  // it, its copy and its lock
    }
}

TEST_F(JsonFileDefaultsStoreTest, MissingOrEmptyFileIsAFreshDomain) {
    JsonFileDefaultsStore store(file);
    EXPECT_TRUE(store.load()->all().empty());
    EXPECT_FALSE(store.lastLoadWasDamaged());
    write("  \n");
    EXPECT_TRUE(store.load()->all().empty());
    EXPECT_FALSE(store.lastLoadWasDamaged());
    EXPECT_TRUE(fs::exists(file));
}

TEST_F(JsonFileDefaultsStoreTest, HalfWrittenFileKeepsCompleteMembersAndQuarantinesTheRest) {
    const std::string full = R"({"a": 1, "b": {"x": [1, 2]}, "c": "text", "d": 12345, "e": true, "f": null})";
    // Cut the file at every length: never a crash, never a wrong value, a copy kept each time.
    for (std::size_t cut = 1; cut < full.size(); ++cut) {
        write(full.substr(0, cut));
        JsonFileDefaultsStore store(file);
        auto values = store.load()->all();
        ASSERT_TRUE(store.lastLoadWasDamaged()) << cut;
        ASSERT_FALSE(store.quarantinedCopy().empty());
        EXPECT_EQ(read(store.quarantinedCopy()), full.substr(0, cut));
        fs::remove(store.quarantinedCopy());
        auto original = DefaultsValue::parse(full);
        for (const auto& [k, v] : values) EXPECT_EQ(v, original[k]) << "cut at " << cut << " key " << k;
        // A member is complete once the comma after it is in, the next key whole or not.
        for (const auto& [key, comma] : {std::pair{"a", ", \"b"}, {"b", ", \"c"}, {"c", ", \"d"}, {"d", ", \"e"}, {"e", ", \"f"}})
            EXPECT_TRUE(cut <= full.find(comma) || values.count(key)) << "cut at " << cut << " key " << key;
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
        d.synchronize();
        EXPECT_EQ(DefaultsValue::parse(read(file))["fingerCount"], 4);
    }
    // Each damaged file got a copy of its own.
    EXPECT_TRUE(fs::exists(dir / "com.quillmar.macos.json.unreadable"));
    EXPECT_TRUE(fs::exists(dir / "com.quillmar.macos.json.unreadable-4"));
    // With every name for a copy taken, the damaged file stays where it is and no copy is lost.
    for (int n = 5; n <= 999; ++n)
        std::ofstream(dir / ("com.quillmar.macos.json.unreadable-" + std::to_string(n))) << "copy " << n;
    write(R"({"fingerCount": 5, "cut)");
    JsonFileDefaultsStore store(file);
    EXPECT_EQ(store.load()->all().at("fingerCount"), 5);
    EXPECT_EQ(store.lastSaveFailure(), file.string() + " is damaged and stays as it is: every name for a copy up to " +
                                           file.string() + ".unreadable-999 is taken");
    EXPECT_FALSE(store.save({{"fingerCount", 6}}));
    EXPECT_TRUE(store.changesUnsaved());
    EXPECT_EQ(read(file), R"({"fingerCount": 5, "cut)");
    EXPECT_EQ(read(dir / "com.quillmar.macos.json.unreadable-999"), "copy 999");
}

TEST_F(JsonFileDefaultsStoreTest, FailedSavesAreCountedAndSaidAndLeaveNothingBehind) {
    // A "directory" that is a file cannot take the temporary file.
    std::ofstream(dir / "plain") << "x";
    JsonFileDefaultsStore blocked(dir / "plain" / "prefs.json");
    EXPECT_FALSE(blocked.save({{"a", 1}}));
    EXPECT_EQ(blocked.failedSaves(), 1);
    EXPECT_EQ(blocked.lastSaveFailure(), (dir / "plain").string() + " is a regular file, not a folder");
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
    EXPECT_EQ(store.load()->all().at("a"), 1);

    // A write that fails part-way, as on a full disk: the old file stays whole, and what did not
    // get written goes with the next save that succeeds.
    UserDefaults d(std::make_unique<JsonFileDefaultsStore>(file));
    auto& kept = static_cast<JsonFileDefaultsStore&>(d.store());
    {
        quillmar::testing::FileSizeLimit full(8);
        d.set("fingerCount", 4);
        d.set("hudScale", 2);
        d.synchronize();
    }
    EXPECT_EQ(kept.failedSaves(), 1);
    EXPECT_EQ(kept.lastSaveFailure(), "cannot write " + file.string() + ": " + std::strerror(EFBIG));
    EXPECT_EQ(read(file), R"({"a":1})");
    EXPECT_EQ(filesInDir(), 2u);
    d.set("isEnabled", true);
    d.synchronize();
    EXPECT_EQ(kept.failedSaves(), 1);
    EXPECT_EQ(DefaultsValue::parse(read(file)), DefaultsValue::parse(R"({"a": 1, "fingerCount": 4, "hudScale": 2, "isEnabled": true})"));
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
        leftover("s.json.quillmar-tmp.Ab12Cd34Ef56Gh78");  // not cleared beside a file that is not the store's
        struct stat before {};
        ASSERT_EQ(::lstat(file.c_str(), &before), 0);
        const auto entries = filesInDir();
        // Whether anything opens the node (or what a link names): opening alone acts on a device.
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        ASSERT_GE(watch, 0);
        ::inotify_add_watch(watch, file.c_str(), IN_OPEN | IN_DONT_FOLLOW);
        if (n == Node::linkToZeroDevice || n == Node::linkToFile)
            ::inotify_add_watch(watch, (dir / "elsewhere").c_str(), IN_OPEN);

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
        char events[4096];
        EXPECT_LT(::read(watch, events, sizeof events), 0) << "opened";
        ::close(watch);
        if (socketFd >= 0) ::close(socketFd);
    }
}

TEST_F(JsonFileDefaultsStoreTest, AFailedReadOrAnOversizedFileIsNotTakenForDamage) {
    // A regular file whose read fails: this process's own memory file fails at offset 0 (EIO).
    JsonFileDefaultsStore unreadable("/proc/self/mem");
    EXPECT_TRUE(unreadable.load()->all().empty());
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
    EXPECT_TRUE(store.load()->all().empty());
    ASSERT_TRUE(store.problem());
    EXPECT_FALSE(store.lastLoadWasDamaged());
    EXPECT_FALSE(store.save({{"a", 1}}));
    EXPECT_EQ(fs::file_size(file), kMaxJsonFileBytes + 1);
    EXPECT_EQ(filesInDir(), 1u);
    // At the limit it is read.
    fs::resize_file(file, kMaxJsonFileBytes);
    std::ofstream(file, std::ios::binary | std::ios::in).seekp(kMaxJsonFileBytes - 2) << "\"}";
    EXPECT_EQ(store.load()->all().at("a").get<std::string>().size(), kMaxJsonFileBytes - 9);
    EXPECT_FALSE(store.problem());
}

TEST_F(JsonFileDefaultsStoreTest, MissingFoldersAreMadeAndOnlyTheStoresOwnLeftoversGo) {
    JsonFileDefaultsStore nested(dir / "sub" / "deeper" / "prefs.json");
    EXPECT_TRUE(nested.load()->all().empty());
    EXPECT_FALSE(nested.problem());
    EXPECT_TRUE(nested.save({{"k", "v"}}));
    EXPECT_EQ(nested.load()->all().at("k"), "v");
    EXPECT_EQ(modeOf(dir / "sub"), 0700u);
    EXPECT_EQ(modeOf(dir / "sub" / "deeper"), 0700u);
    EXPECT_EQ(modeOf(dir / "sub" / "deeper" / "prefs.json"), 0600u);
    fs::remove_all(dir / "sub");

    // A folder's name is refused before anything in that folder is touched.
    leftover(".quillmar-tmp.Ab12Cd34Ef56Gh78");
    JsonFileDefaultsStore folderName(dir.string() + "/");
    folderName.load();
    EXPECT_TRUE(folderName.problem());
    EXPECT_TRUE(fs::exists(dir / ".quillmar-tmp.Ab12Cd34Ef56Gh78"));

    // A save killed part-way leaves its temporary file; the next load clears it, and nothing that
    // could be anything else: another pattern, mode, owner or link count, or a folder or link.
    // A user's own file of a name that only looks like one stays ("backup": the run's names are
    // marked as its own and have 16 random letters or digits).
    const std::string stem = "com.quillmar.macos.json.quillmar-tmp.", pad = "0123456789";
    const std::string copyStem = "com.quillmar.macos.json.unreadable.quillmar-tmp.";
    leftover(stem + "abc123" + pad);
    ::mkdir((dir / (copyStem + "abc123" + pad)).c_str(), 0700);  // the folder of a damaged file's copy
    leftover(copyStem + "abc123" + pad + "/bytes");
    std::vector<std::string> kept = {stem + "backup" + pad, stem + "Ab12c" + pad,  stem + "Ab12cd7" + pad,
                                     stem + "Ab_2cd" + pad, "other.json.quillmar-tmp.Zx81Qa" + pad,
                                     stem + "Folder" + pad, stem + "LinkTo" + pad, stem + "TwoLnk" + pad,
                                     stem + "Other1" + pad, stem + "Fifo01" + pad, "com.quillmar.macos.json.tmp-backup"};
    // The live temporary files of other names in the folder: any shorter part of this name.
    kept.push_back(copyStem + "Others" + pad);  // a folder others may open is none of the run's
    ::mkdir((dir / kept.back()).c_str(), 0755);
    ::chmod((dir / kept.back()).c_str(), 0755);
    for (const std::string other : {"com.quillmar.macos.", "com.quillmar.", "c."}) {
        kept.push_back(other + "quillmar-tmp.Zx81Qa" + pad);
        leftover(kept.back());
    }
    leftover(kept[0], 0644);
    for (std::size_t i = 1; i < 5; ++i) leftover(kept[i]);
    leftover(kept[10]);
    fs::create_directory(dir / kept[5]);
    fs::create_symlink(dir / kept[4], dir / kept[6]);
    leftover(kept[7]);
    fs::create_hard_link(dir / kept[7], dir / "second-name");
    leftover(kept[8]);
    ASSERT_EQ(::mkfifo((dir / kept[9]).c_str(), 0600), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown((dir / kept[8]).c_str(), 65534, 65534), 0);
    }
    JsonFileDefaultsStore store(file);
    store.load();
    EXPECT_FALSE(fs::exists(dir / (stem + "abc123" + pad)));
    EXPECT_FALSE(fs::exists(dir / (copyStem + "abc123" + pad)));
    for (const auto& name : kept) EXPECT_TRUE(fs::exists(fs::symlink_status(dir / name))) << name;
    // Once a load, not on every save.
    leftover(stem + "Later1" + pad);
    ASSERT_TRUE(store.save({{"a", 3}}));
    EXPECT_TRUE(fs::exists(dir / (stem + "Later1" + pad)));
    store.load();
    EXPECT_FALSE(fs::exists(dir / (stem + "Later1" + pad)));
    // One killed after it got the mode the file lends, before the rename, goes too.
    ::chmod(file.c_str(), 0640);
    leftover(stem + "Lent01" + pad, 0640);
    store.load();
    EXPECT_FALSE(fs::exists(dir / (stem + "Lent01" + pad)));
    // A string that is not valid UTF-8 is written (repaired), not refused.
    EXPECT_TRUE(store.save({{"bad", std::string("a\xff" "b")}}));
    EXPECT_TRUE(store.load()->all().count("bad"));
}

TEST_F(JsonFileDefaultsStoreTest, TwoRunsOnOneFileKeepEachOthersSaves) {
    // One run keeps its domain and saves key after key; the other starts afresh for every key
    // (each start clears leftovers). Every save succeeds and every key is in the file at the end.
    constexpr int kKeys = 60;
    auto run = [&](const std::string& prefix, bool restartEachTime) {
        int failures = 0;
        auto start = [&] { return std::make_unique<UserDefaults>(std::make_unique<JsonFileDefaultsStore>(file)); };
        auto d = start();
        for (int i = 0; i < kKeys; ++i) {
            if (restartEachTime) d = start();
            d->set(prefix + std::to_string(i), i);
            failures += static_cast<JsonFileDefaultsStore&>(d->store()).failedSaves();
        }
        return failures;
    };
    std::vector<pid_t> children;
    for (const char* prefix : {"kept", "restarted"}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) ::_exit(std::min(run(prefix, prefix[0] == 'r'), 100));
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "failed saves: " << WEXITSTATUS(status);
    }
    const auto saved = DefaultsValue::parse(read(file));
    EXPECT_EQ(saved.size(), 2u * kKeys);
    EXPECT_EQ(filesInDir(), 1u);
}

TEST_F(JsonFileDefaultsStoreTest, DeeplyNestedMemberIsDroppedAndTheRecoveredSettingsAreWrittenBack) {
    // A member nested far past anything a setting holds would overflow the parser's caller; it
    // goes, its neighbours stay, and the next start finds them without the damaged file.
    const std::string deep = std::string(70'000, '[') + std::string(70'000, ']');
    write("{\"fingerCount\": 3, \"bomb\": " + deep + ", \"isEnabled\": false, \"bomb2\": {\"x\": " + deep +
          "}, \"last\": 1}");
    JsonFileDefaultsStore store(file);
    auto values = store.load()->all();
    EXPECT_TRUE(store.lastLoadWasDamaged());
    EXPECT_EQ(values.count("bomb") + values.count("bomb2"), 0u);
    EXPECT_EQ(values.at("fingerCount"), 3);
    EXPECT_EQ(values.at("isEnabled"), false);
    EXPECT_EQ(values.at("last"), 1);
    EXPECT_TRUE(fs::exists(store.quarantinedCopy()));

    JsonFileDefaultsStore nextStart(file);
    auto again = nextStart.load()->all();
    EXPECT_FALSE(nextStart.lastLoadWasDamaged());
    EXPECT_EQ(again, values);
}

TEST_F(JsonFileDefaultsStoreTest, RecoveredMembersOfACutOffFileSurviveTheNextStart) {
    write("{\"fingerCount\": 4, \"switchBarStyle\": \"vertical\", \"hudScale\": 1.");
    JsonFileDefaultsStore store(file);
    auto values = store.load()->all();
    ASSERT_TRUE(store.lastLoadWasDamaged());
    JsonFileDefaultsStore nextStart(file);
    EXPECT_EQ(nextStart.load()->all(), values);
    EXPECT_EQ(values.at("switchBarStyle"), "vertical");
    // Anything after the object is damage, a NUL byte too; the file written back keeps the
    // permissions of the user's own damaged file, whatever could be read from it.
    for (const auto& [damaged, back] : {std::pair{std::string("{\"a\":1}\0", 8), R"({"a":1})"}, {"hello", "{}"}}) {
        write(damaged);
        ::chmod(file.c_str(), 0644);
        JsonFileDefaultsStore third(file);
        third.load();
        EXPECT_TRUE(third.lastLoadWasDamaged());
        EXPECT_EQ(read(file), back);
        EXPECT_EQ(modeOf(file), 0644u);
        EXPECT_EQ(read(third.quarantinedCopy()), damaged);
    }
}

// A flush that fails for a folder (true) or for a file (false).
template <bool folder, int error>
int flushFails(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) != folder) return ::fsync(fd);
    errno = error;
    return -1;
}

TEST_F(JsonFileDefaultsStoreTest, ADamagedFileFoundAtASaveStaysWhereItIsUntilItsReplacementGoesIn) {
    // Another program puts a cut-off file of the user's in place during the run, and the save that
    // finds it fails at one step or another. The damaged file stays at its name untouched until the
    // rename; a copy's name it got before a rename that did not go in stays, and the next save uses
    // it again rather than making another (another run takes it as a killed run's copy below). Once
    // the rename is done, the damaged file is kept under its copy's name. Where no second name can
    // be made, its copy is a file of the bytes read. The file written keeps its permissions, and so
    // does a copy of its bytes, but for its set-ID bit: a second name is the file itself.
    const std::string damaged = R"({"orig":1,"k":0,"other":2,"cut)", copy = file.string() + ".unreadable";
    const std::string kept = file.string() + " was damaged: moved aside as " + copy + "; 3 settings read from it are kept";
    struct Case {
        void (*seam)(detail::AtomicFileCalls&);
        bool copied, renamed, saved, anotherRunNext;
    };
    for (const auto& [seam, copied, renamed, saved, anotherRunNext] :
         {Case{[](detail::AtomicFileCalls& c) { c.fsync = flushFails<false, ENOSPC>; }, false, false, false, true},
          Case{[](detail::AtomicFileCalls& c) {
                   c.renameat2 = [](int, const char*, int, const char*, unsigned) { return errno = EIO, -1; };
               },
               true, false, false, false},
          Case{[](detail::AtomicFileCalls& c) { c.fsync = flushFails<true, EIO>; }, true, true, false, false},
          Case{[](detail::AtomicFileCalls& c) { c.linkat = [](int, const char*, int, const char*, int) { return errno = EPERM, -1; }; },
               true, true, true, false}}) {
        SCOPED_TRACE(::testing::Message() << "renamed " << renamed << ", saved " << saved);
        fs::remove_all(dir);
        fs::create_directories(dir);
        JsonFileDefaultsStore store(file);
        store.load();
        ASSERT_TRUE(store.save({{"k", 1}}));
        write(damaged);
        ::chmod(file.c_str(), 04644);
        {
            detail::AtomicFileCallsOverride restore;
            seam(detail::atomicFileCalls);
            EXPECT_EQ(store.save({{"k2", 2}}, {"k2"}), saved);
        }
        EXPECT_EQ(fs::exists(copy), copied);
        EXPECT_EQ(read(file), renamed ? R"({"k":0,"k2":2,"orig":1,"other":2})" : damaged);
        EXPECT_EQ(store.takeRecoveries(), std::vector<std::string>{renamed ? kept : file.string() + " is damaged: it stays as it is until a save can "
                                                                  "put the 3 settings read from it in its place (tried again at the next save)"});
        EXPECT_EQ(store.changesUnsaved(), !renamed || !saved);
        if (anotherRunNext) {
            // Another run finds the damaged file first and writes what it read from it; this run's
            // next save puts its changes over that.
            JsonFileDefaultsStore other(file);
            other.load();
            ASSERT_TRUE(other.save({{"orig", 5}}));
        }
        EXPECT_TRUE(store.save({{"k", 3}}, {"k"}));
        EXPECT_EQ(read(file), anotherRunNext ? R"({"k":3,"k2":2,"orig":5,"other":2})" : R"({"k":3,"k2":2,"orig":1,"other":2})");
        // Said once: the copy made by the first save is not said again.
        const std::vector<std::string> next{anotherRunNext ? "the damaged " + file.string() +
                                                                 " was removed or replaced before this run wrote the 3 settings read from it"
                                                           : kept};
        EXPECT_EQ(store.takeRecoveries(), renamed ? std::vector<std::string>{} : next);
        EXPECT_FALSE(store.changesUnsaved());
        EXPECT_EQ(read(copy), damaged);
        EXPECT_FALSE(fs::exists(copy + "-2"));
        EXPECT_EQ(modeOf(copy), saved ? 0644u : 04644u);
        EXPECT_EQ(modeOf(file), 0644u);
        EXPECT_FALSE(fs::equivalent(copy, file));
    }
}

// A file another program puts in place (with inotify, say) at the name, or at the copy's name, while
// a save keeps a damaged file: nothing of that program's is removed or written over, and a line
// says where the damaged file is kept only where it is.
TEST_F(JsonFileDefaultsStoreTest, FilesAnotherProgramPutsBesideADamagedOneAreLeftAlone) {
    const std::string damaged = R"({"orig":1,"cut)", copy = file.string() + ".unreadable";
    static fs::path putAt;
    static std::string by;
    auto other = [](int fromDir, const char* from, int toDir, const char* to, int flags) {
        const int made = ::linkat(fromDir, from, toDir, to, flags);
        std::ofstream(putAt.string() + ".new") << by;
        fs::rename(putAt.string() + ".new", putAt);
        return made;
    };
    // At the name, once the copy is made: that file is read and merged, not written over; the
    // damaged file is said to be kept where it is.
    putAt = file, by = R"({"new":1})";
    {
        JsonFileDefaultsStore store(file);
        ASSERT_TRUE(store.save({{"k", 1}}));
        write(damaged);
        detail::AtomicFileCallsOverride restore;
        detail::atomicFileCalls.linkat = other;
        EXPECT_TRUE(store.save({{"k2", 2}}, {"k2"}));
        EXPECT_EQ(read(file), R"({"k2":2,"new":1})");
        EXPECT_EQ(store.takeRecoveries(), std::vector<std::string>{"the damaged " + file.string() +
                                                                   " was removed or replaced before this run wrote the 1 setting "
                                                                   "read from it; it is kept as " + copy});
        EXPECT_EQ(read(copy), damaged);
        fs::remove(copy);
    }
    // At the copy's name, right after it was made: that file stays, and the damaged one is kept as a
    // copy of its bytes under the next name (kept, though the folder cannot be flushed).
    putAt = copy, by = "theirs";
    {
        JsonFileDefaultsStore store(file);
        write(damaged);
        detail::AtomicFileCallsOverride restore;
        detail::atomicFileCalls.linkat = other;
        detail::atomicFileCalls.fsync = flushFails<true, EIO>;
        store.load();
        EXPECT_EQ(read(copy), "theirs");
        EXPECT_EQ(read(copy + "-2"), damaged);
        EXPECT_EQ(store.takeRecoveries(), std::vector<std::string>{file.string() + " was damaged: moved aside as " + copy +
                                                                   "-2; 1 setting read from it is kept"});
        EXPECT_EQ(read(file), R"({"orig":1})");
    }
    // A killed run (or another run a moment before) gave the damaged file a copy's name too: that
    // name is used, no other made.
    fs::remove(copy);
    fs::remove(copy + "-2");
    write(damaged);
    fs::create_hard_link(file, copy);
    JsonFileDefaultsStore store(file);
    store.load();
    EXPECT_EQ(store.takeRecoveries(), std::vector<std::string>{file.string() + " was damaged: moved aside as " + copy +
                                                               "; 1 setting read from it is kept"});
    EXPECT_FALSE(store.changesUnsaved());
    EXPECT_EQ(read(copy), damaged);
    EXPECT_FALSE(fs::exists(copy + "-2"));
}

constexpr uid_t kNobody = 65534;

bool becomeNobody() {
    return ::setgroups(0, nullptr) == 0 && ::setresgid(kNobody, kNobody, kNobody) == 0 &&
           ::setresuid(kNobody, kNobody, kNobody) == 0;
}

// A process of the user nobody that opens `path` read-only (making it first when `make`), locks
// it and holds the lock until the object goes.
class OtherUsersLock {
public:
    OtherUsersLock(const fs::path& path, bool make) {
        int ready[2], release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            const int fd = becomeNobody() ? ::open(path.c_str(), O_RDONLY | (make ? O_CREAT | O_EXCL : 0), 0644) : -1;
            char ok = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
            ::close(release[1]);
            if (::write(ready[1], &ok, 1) == 1) (void)::read(release[0], &ok, 1);  // until the test lets go
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        char ok = 0;
        held_ = ::read(ready[0], &ok, 1) == 1 && ok == 'y';
        ::close(ready[0]);
        release_ = release[1];
    }
    ~OtherUsersLock() {
        ::close(release_);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    bool held() const { return held_; }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool held_ = false;
};

TEST_F(JsonFileDefaultsStoreTest, ALockOfAnotherUserNeverHoldsARunUp) {
    if (::geteuid() != 0) GTEST_SKIP() << "acting as a second user needs root";
    const LockWait quick{std::chrono::milliseconds(3), std::chrono::milliseconds(1), {}};
    write(R"({"a":1})");
    fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec);
    {
        // Anyone who can list the folder can lock it: no matter.
        OtherUsersLock folderLock(dir, /*make=*/false);
        ASSERT_TRUE(folderLock.held());
        UserDefaults d(std::make_unique<JsonFileDefaultsStore>(file, quick));
        d.set("b", 2);
        d.synchronize();
        EXPECT_EQ(static_cast<JsonFileDefaultsStore&>(d.store()).failedSaves(), 0);
        EXPECT_EQ(read(file), R"({"a":1,"b":2})");
    }
    // A lock file another user made first, in a folder anyone may write to, is never used.
    fs::permissions(dir, fs::perms::all);
    const fs::path lockFile = file.string() + ".lock";
    fs::remove(lockFile);
    OtherUsersLock planted(lockFile, /*make=*/true);
    ASSERT_TRUE(planted.held());
    UserDefaults d(std::make_unique<JsonFileDefaultsStore>(file, quick));
    EXPECT_EQ(d.integerForKey("b"), 2);  // read all the same
    d.set("c", 3);
    d.synchronize();
    auto& store = static_cast<JsonFileDefaultsStore&>(d.store());
    EXPECT_EQ(store.failedSaves(), 1);
    EXPECT_EQ(store.lastSaveFailure(), lockFile.string() + " belongs to another user");
    EXPECT_EQ(read(file), R"({"a":1,"b":2})");
}

TEST_F(JsonFileDefaultsStoreTest, SettingsThatCannotBeLockedAreKeptInMemoryAndTheSavesCounted) {
    ASSERT_TRUE(JsonFileDefaultsStore(file).save({{"a", 1}}));
    const fs::path lockFile = file.string() + ".lock";
    FileDescriptor held(::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_EQ(::flock(held.get(), LOCK_EX), 0);
    int calls = 0, failure = 0;
    const LockWait seam{std::chrono::milliseconds(3), std::chrono::milliseconds(1), [&](int fd, int operation) {
                            ++calls;
                            if (!failure) return ::flock(fd, operation);
                            errno = failure;
                            return -1;
                        }};
    // Locks a file system does not have, then a lock held by another process: waited for a bounded
    // time at the start (once when there are no locks); each later save only tries, and the
    // changes wait. The file is read but not written.
    for (int error : {ENOLCK, 0}) {
        SCOPED_TRACE(error);
        calls = 0;
        failure = error;
        UserDefaults d(std::make_unique<JsonFileDefaultsStore>(file, seam));
        auto& store = static_cast<JsonFileDefaultsStore&>(d.store());
        const int atStart = calls;
        EXPECT_TRUE(store.takeSaveFailures().empty());  // nothing waited to be saved at the start
        EXPECT_EQ(d.integerForKey("a"), 1);
        d.set("b", 2);
        d.synchronize();
        d.setValues({{"c", 3}, {"d", 4}});
        d.synchronize();
        EXPECT_EQ(calls, atStart + 2);
        EXPECT_EQ(atStart == 1, error != 0);
        EXPECT_LE(atStart, 50);  // a few ticks of the waiter's timer
        EXPECT_EQ(store.failedSaves(), 2);
        EXPECT_TRUE(store.changesUnsaved());
        EXPECT_EQ(store.lastSaveFailure(), error ? "cannot lock " + lockFile.string() + ": " + std::strerror(ENOLCK)
                                                  : lockFile.string() + " is locked by another process");
        EXPECT_EQ(store.takeSaveFailures().size(), 1u);
        EXPECT_EQ(read(file), R"({"a":1})");
        if (error) continue;
        // Let go: the run's end tries once more and keeps every change still pending.
        held.reset();
        EXPECT_TRUE(store.saveWhatWaits());
        EXPECT_FALSE(store.changesUnsaved());
        EXPECT_EQ(read(file), R"({"a":1,"b":2,"c":3,"d":4})");
    }
    // A damaged file found while the lock is held elsewhere stays as it is until a save has it,
    // said once however often saves fail; so does a second one put in its place meanwhile.
    const std::string damaged = R"({"a":1,"cut)", stays = " is damaged: it stays as it is until a save can put the ";
    write(damaged);
    held.reset(::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_EQ(::flock(held.get(), LOCK_EX), 0);
    JsonFileDefaultsStore waiting(file, seam);
    EXPECT_EQ(waiting.load()->all().at("a"), 1);
    EXPECT_FALSE(waiting.saveWhatWaits());
    EXPECT_EQ(waiting.failedSaves(), 2);
    // Waited for at the start, only tried at the end: one reason, said once.
    EXPECT_EQ(waiting.takeSaveFailures(), std::vector<std::string>{lockFile.string() + " is locked by another process; gave up after 0.003 s"});
    EXPECT_EQ(waiting.takeRecoveries(),
              std::vector<std::string>{file.string() + stays + "1 setting read from it in its place (tried again at the next save)"});
    EXPECT_EQ(read(file), damaged);
    held.reset();
    std::ofstream(file.string() + ".new") << R"({"a":2,"z":0,"cut)";
    fs::rename(file.string() + ".new", file);
    {
        detail::AtomicFileCallsOverride restore;
        detail::atomicFileCalls.renameat2 = [](int, const char*, int, const char*, unsigned) { return errno = EIO, -1; };
        EXPECT_FALSE(waiting.save({{"b", 2}}, {"b"}));
        EXPECT_EQ(waiting.takeRecoveries(),
                  (std::vector<std::string>{"the damaged " + file.string() + " was removed or replaced before this run wrote the 1 "
                                            "setting read from it",
                                            file.string() + stays + "2 settings read from it in its place (tried again at the next save)"}));
        EXPECT_FALSE(waiting.save({{"b", 3}}, {"b"}));
        EXPECT_EQ(waiting.takeRecoveries(), std::vector<std::string>{});
    }
    EXPECT_TRUE(waiting.save({{"b", 4}}, {"b"}));
    EXPECT_EQ(waiting.takeRecoveries(), std::vector<std::string>{file.string() + " was damaged: moved aside as " + file.string() +
                                                                 ".unreadable; 2 settings read from it are kept"});
    EXPECT_FALSE(waiting.changesUnsaved());
    EXPECT_EQ(read(file), R"({"a":2,"b":4,"z":0})");
    fs::remove(file.string() + ".unreadable");
    // A lock file that is a link is not followed.
    fs::remove(lockFile);
    fs::create_symlink(dir / "elsewhere", lockFile);
    JsonFileDefaultsStore store(file);
    EXPECT_EQ(store.load()->all().at("a"), 2);
    EXPECT_FALSE(store.save({{"b", 7}}));
    EXPECT_EQ(store.lastSaveFailure(), lockFile.string() + " is a symbolic link, not a regular file");
    EXPECT_FALSE(fs::exists(dir / "elsewhere"));
    EXPECT_EQ(read(file), R"({"a":2,"b":4,"z":0})");
}

TEST_F(JsonFileDefaultsStoreTest, ARunThatSavesOftenLetsAWaitingRunHaveItsTurns) {
    // Another run saves in a tight loop, letting go of the lock only for a moment between saves;
    // this run saves while it does. It gives up on one holding of 300 ms, yet gets every turn.
    ASSERT_TRUE(JsonFileDefaultsStore(file).save({{"busy", 0}}));
    int stop[2], saved[2];
    ASSERT_EQ(::pipe(stop), 0);
    ASSERT_EQ(::pipe2(saved, O_NONBLOCK), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(stop[1]);
        ::fcntl(stop[0], F_SETFL, O_NONBLOCK);
        JsonFileDefaultsStore busy(file);
        busy.load();
        char c = 0;
        for (int i = 1; i < 100000 && ::read(stop[0], &c, 1) < 0 && errno == EAGAIN; ++i)
            if (busy.save({{"busy", i}})) (void)!::write(saved[1], &c, 1);  // a save done
        ::_exit(busy.failedSaves() == 0 ? 0 : 1);
    }
    ::close(stop[0]);
    ::close(saved[1]);
    JsonFileDefaultsStore store(file, {std::chrono::milliseconds(300), std::chrono::milliseconds(5), {}});
    store.load();
    for (int i = 1; i <= 20 && !store.lastSaveFailure(); ++i) {
        // Each save is tried once the other run has saved again since this one last did.
        char c = 0;
        while (::read(saved[0], &c, 1) == 1) {
        }
        pollfd more{saved[0], POLLIN, 0};
        ASSERT_EQ(::poll(&more, 1, 10000), 1);
        store.save({{"mine", i}}, {"mine"});
    }
    ::close(stop[1]);
    ::close(saved[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(store.failedSaves(), 0) << store.lastSaveFailure().value_or("");
    const auto both = DefaultsValue::parse(read(file));
    EXPECT_EQ(both.value("mine", 0), 20);
    EXPECT_TRUE(both.contains("busy"));
}

TEST_F(JsonFileDefaultsStoreTest, ALockFileOthersMayOpenIsMadeAnewPrivate) {
    // A lock file of this user's that anyone may open (made by hand) and that someone who opened
    // it holds: the run does not wait for it, but locks a private one made in its place.
    const fs::path lockFile = file.string() + ".lock";
    leftover(lockFile.filename().string(), 0644);
    const FileDescriptor opened(::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_EQ(::flock(opened.get(), LOCK_EX), 0);
    JsonFileDefaultsStore store(file, {std::chrono::milliseconds(3), std::chrono::milliseconds(1), {}});
    store.load();
    EXPECT_TRUE(store.save({{"a", 1}}));
    EXPECT_EQ(modeOf(lockFile), 0600u);
    EXPECT_EQ(read(file), R"({"a":1})");
}

TEST_F(JsonFileDefaultsStoreTest, AFolderThatCanBeWrittenButNotListedKeepsTheSettings) {
    const fs::path folder = dir / "drop";
    fs::create_directory(folder);
    auto keeps = [&] {
        JsonFileDefaultsStore store(folder / "s.json");
        const bool saved = store.save({{"a", 1}});
        const auto values = store.load()->all();
        return saved && !store.problem() && values.count("a") == 1;
    };
    if (::geteuid() != 0) {
        fs::permissions(folder, fs::perms::owner_write | fs::perms::owner_exec);
        EXPECT_TRUE(keeps());
        return;
    }
    // Root lists every folder: the folder's owner tries it.
    ASSERT_EQ(::chown(folder.c_str(), kNobody, kNobody), 0);
    fs::permissions(folder, fs::perms::owner_write | fs::perms::owner_exec);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) ::_exit(becomeNobody() && keeps() ? 0 : 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(JsonFileDefaultsStoreTest, SavesAreCompactAndAFileTheReaderTookStaysOneItTakes) {
    // A compact file at the size limit is written back at that size, however its numbers are
    // spelled, and read again.
    std::string text = R"({"k":1,"n":[1e15,12e3,1e-5,-25e-4],"pad":")";
    text += std::string(kMaxJsonFileBytes - text.size() - 2, 'x') + "\"}";
    write(text);
    UserDefaults d(std::make_unique<JsonFileDefaultsStore>(file));
    auto& store = static_cast<JsonFileDefaultsStore&>(d.store());
    ASSERT_FALSE(store.problem() || store.lastLoadWasDamaged());
    d.set("k", 2);
    d.synchronize();
    EXPECT_EQ(store.failedSaves(), 0);
    EXPECT_EQ(fs::file_size(file), kMaxJsonFileBytes);
    JsonFileDefaultsStore reader(file);
    EXPECT_EQ(reader.load()->all().at("k"), 2);
    // One byte more is never written: a failed save, and the file stays as it was.
    d.set("k", 10);
    d.synchronize();
    EXPECT_EQ(store.failedSaves(), 1);
    EXPECT_EQ(store.lastSaveFailure(), "cannot write " + file.string() + ": the settings take " +
                                            std::to_string(kMaxJsonFileBytes + 1) + " bytes; a settings file holds at most " +
                                            std::to_string(kMaxJsonFileBytes));
    EXPECT_EQ(reader.load()->all().at("k"), 2);
    // Nor for a damaged file at the limit that lacks only its closing brace: it stays whole.
    write(R"({"a":")" + std::string(kMaxJsonFileBytes - 7, 'x') + "\"");
    JsonFileDefaultsStore damaged(file);
    damaged.load();
    EXPECT_EQ(damaged.failedSaves(), 1);
    EXPECT_EQ(fs::file_size(file), kMaxJsonFileBytes);
    EXPECT_FALSE(fs::exists(file.string() + ".unreadable"));
}

TEST_F(JsonFileDefaultsStoreTest, AnInstantsChangesAreOneSaveAndTheFileThisRunWroteIsNotReadAgain) {
    write(R"({"x":0})");
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ::inotify_add_watch(watch, dir.c_str(), IN_OPEN | IN_MOVED_TO);
    // Reads and saves of the settings file since the last call.
    auto count = [&] {
        std::pair<int, int> readsAndSaves;
        alignas(inotify_event) char buffer[1 << 16];
        ssize_t n;
        while ((n = ::read(watch, buffer, sizeof buffer)) > 0)
            for (char* p = buffer; p < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                if (event->len && file.filename() == event->name)
                    ++((event->mask & IN_OPEN) ? readsAndSaves.first : readsAndSaves.second);
                p += sizeof(inotify_event) + event->len;
            }
        return readsAndSaves;
    };
    auto& loop = runtime::MainLoop::main();
    UserDefaults d(std::make_unique<JsonFileDefaultsStore>(file));
    count();
    std::map<std::string, DefaultsValue> section;
    for (int i = 0; i < 200; ++i) section["k" + std::to_string(i)] = i;
    d.setValues(section);
    for (int i = 0; i < 40; ++i) d.set("k" + std::to_string(i), -i);
    loop.runUntilIdle();
    EXPECT_EQ(count(), std::pair(0, 0));  // the instant is not over
    loop.advance(0.1);
    EXPECT_EQ(count(), std::pair(0, 1));
    for (int i = 0; i < 3; ++i) {
        d.set("x", i);
        loop.advance(0.1);
    }
    EXPECT_EQ(count(), std::pair(0, 3));
    // Another run's save, or an edit in place, is read before the next save and kept.
    JsonFileDefaultsStore other(file);
    other.load();
    other.save({{"other", 1}});
    count();
    d.set("x", 1);
    loop.advance(0.1);
    EXPECT_EQ(count(), std::pair(1, 1));
    std::ofstream(file, std::ios::app) << " ";
    count();
    d.set("x", 2);
    loop.finishInstant();  // the end of a run
    EXPECT_EQ(count(), std::pair(1, 1));
    const auto saved = DefaultsValue::parse(read(file));
    EXPECT_EQ(saved.size(), 202u);
    EXPECT_EQ(saved["other"], 1);
    EXPECT_EQ(saved["k3"], -3);

    // An edit in place of the same size, its modification time set back, is read all the same:
    // no one can set the change time.
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    std::string edited = read(file);
    edited.replace(edited.find("\"other\":1"), 9, "\"other\":7");
    for (struct stat now = before; now.st_ctim.tv_sec == before.st_ctim.tv_sec && now.st_ctim.tv_nsec == before.st_ctim.tv_nsec;
         ::stat(file.c_str(), &now)) {
        std::fstream(file, std::ios::in | std::ios::out | std::ios::binary) << edited;
        const timespec times[2] = {before.st_atim, before.st_mtim};
        ::utimensat(AT_FDCWD, file.c_str(), times, 0);
    }
    count();
    d.set("x", 3);
    loop.advance(0.1);
    EXPECT_EQ(count(), std::pair(1, 1));
    EXPECT_EQ(DefaultsValue::parse(read(file))["other"], 7);

    // A write that fails keeps what was read before it: another run's save is read once, however
    // many writes after it fail.
    other.save({{"other", 8}});
    {
        detail::AtomicFileCallsOverride restore;
        detail::atomicFileCalls.fsync = [](int) {
            errno = EIO;
            return -1;
        };
        count();
        for (int i = 0; i < 3; ++i) {
            d.set("x", 10 + i);
            loop.advance(0.1);
        }
        EXPECT_EQ(count(), std::pair(1, 0));
    }
    d.set("x", 20);
    loop.advance(0.1);
    EXPECT_EQ(count(), std::pair(0, 1));
    EXPECT_EQ(DefaultsValue::parse(read(file))["other"], 8);
    ::close(watch);
}

TEST_F(JsonFileDefaultsStoreTest, ALockFileRemovedOrAFilePutInPlaceWhileWritingIsReadAgainBeforeTheRename) {
    // While this run writes, someone removes the lock file (the save locks a new one before it
    // renames), and another run may lock that one and save; or another program, heeding no lock,
    // puts a cut-off file at the name. Either file is read before the rename and its members kept,
    // the cut-off one under its copy's name.
    static fs::path at;
    at = file;
    static void (*meanwhile)() = nullptr;
    struct Case {
        void (*meanwhile)();
        const char* text;
        bool copy;
    };
    for (const auto& [then, text, copy] :
         {Case{[] { fs::remove(at.string() + ".lock"); }, R"({"a":1,"b":2})", false},
          Case{[] {
                   fs::remove(at.string() + ".lock");
                   JsonFileDefaultsStore other(at);
                   other.load();
                   other.save({{"other", 2}});
               },
               R"({"a":1,"b":2,"other":2})", false},
          Case{[] {
                   std::ofstream(at.string() + ".new") << R"({"other":2,"cut)";
                   fs::rename(at.string() + ".new", at);
               },
               R"({"b":2,"other":2})", true}}) {
        SCOPED_TRACE(text);
        fs::remove_all(dir);
        fs::create_directories(dir);
        write(R"({"a":1})");
        UserDefaults d(std::make_unique<JsonFileDefaultsStore>(file));
        meanwhile = then;
        detail::AtomicFileCallsOverride restore;
        detail::atomicFileCalls.fsync = [](int fd) {
            if (auto once = std::exchange(meanwhile, nullptr)) once();
            return ::fsync(fd);
        };
        d.set("b", 2);
        EXPECT_TRUE(d.synchronize());
        EXPECT_EQ(read(file), text);
        EXPECT_EQ(fs::exists(file.string() + ".unreadable"), copy);
        EXPECT_TRUE(fs::exists(file.string() + ".lock"));
        EXPECT_EQ(static_cast<JsonFileDefaultsStore&>(d.store()).failedSaves(), 0);
    }
}

TEST_F(JsonFileDefaultsStoreTest, AFilePutInPlaceOfTheOneThisRunWroteIsReadAgainWhateverItsStamp) {
    JsonFileDefaultsStore store(file);
    store.load();
    ASSERT_TRUE(store.save({{"a", 1}}));
    struct stat ours {};
    ASSERT_EQ(::stat(file.c_str(), &ours), 0);
    // Another writer replaces the file until the new one has this run's inode if it can (a file
    // system gives a freed inode to the next new file), the same size and modification time.
    for (int attempt = 0; attempt < 20; ++attempt) {
        std::ofstream(dir / "other.tmp") << R"({"a":2})";
        fs::rename(dir / "other.tmp", file);
        struct stat now {};
        ::stat(file.c_str(), &now);
        if (now.st_ino == ours.st_ino) break;
    }
    const timespec times[2] = {ours.st_atim, ours.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    ASSERT_TRUE(store.save({{"b", 2}}, {"b"}));
    EXPECT_EQ(read(file), R"({"a":2,"b":2})");
}

TEST_F(JsonFileDefaultsStoreTest, NumbersArePlainAndTooLargeOnesCostOnlyTheirMember) {
    // Written as a person would, with the fewest digits that read back as the same double.
    write(R"({"kept":2e2,  "big": 1e400, "list":[1, -1E+999], "z":true})");
    {
        UserDefaults d(std::make_unique<JsonFileDefaultsStore>(file));
        auto& store = static_cast<JsonFileDefaultsStore&>(d.store());
        // A number too large for a double: its member reads as absent, the others stay, no damage.
        EXPECT_FALSE(store.lastLoadWasDamaged());
        EXPECT_FALSE(d.hasPersistedValue("big") || d.hasPersistedValue("list"));
        EXPECT_TRUE(d.boolForKey("z"));
        d.setValues({{"hold", 200.0}, {"step", 0.001}, {"huge", 1e15}, {"tiny", 1e-7}, {"count", 120}, {"zero", -0.0}});
    }
    // Untouched members keep their text as it was, too large numbers included.
    EXPECT_EQ(read(file), R"({"big":1e400,"count":120,"hold":200.0,"huge":1e15,"kept":2e2,"list":[1, -1E+999],)"
                          R"("step":0.001,"tiny":1e-7,"z":true,"zero":-0.0})");
    EXPECT_FALSE(fs::exists(file.string() + ".unreadable"));
    for (const double value : {200.0, 0.001, 1e15, 1e-7, -0.0, 0.1, 5e-324, 1.7976931348623157e308, 18446744073709551616.0}) {
        std::string written;
        appendCompactJson(written, value);
        const auto back = DefaultsValue::parse(written);
        std::string again;
        appendCompactJson(again, back);
        EXPECT_TRUE(back.is_number_float() && back.get<double>() == value && again == written) << written;
    }
}

}  // namespace
}  // namespace quillmar::platform
