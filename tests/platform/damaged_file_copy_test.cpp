#include "platform/damaged_file_copy.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/atomic_file_calls.h"
#include "platform/json_file_defaults_store.h"
#include "support/fresh_world.h"
#include "support/temp_path.h"

namespace quillmar::platform {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

// The calls of a save as the cases set them: the damaged file's links refused (as the kernel
// refuses another account's file), or every link by /proc (none is mounted); the replacement's
// rename refused (as in a sticky folder, for another account's file); another program acting right
// before a rename (an errno it returns is the rename's).
struct Seam {
    ino_t damaged = 0;
    std::size_t damagedSize = 0;
    bool noProc = false;
    bool replacementRefused = false;
    std::function<int(const char* from, const char* to)> beforeRename;
    void (*afterNaming)(const char* to) = nullptr;  // a copy's name, linked or renamed to
    int copyWrites = 0;       // flushes of a file of the damaged file's size: one a copy written
    int renamesToCopies = 0;  // copies named by a rename, made where no link is to be had
};
Seam seam;

int link(int fromDir, const char* from, int toDir, const char* to, int flags) {
    struct stat st {};
    if (seam.noProc) return errno = ENOENT, -1;
    if (::stat(from, &st) == 0 && st.st_ino == seam.damaged) return errno = EPERM, -1;
    const int made = ::linkat(fromDir, from, toDir, to, flags);
    if (seam.afterNaming) seam.afterNaming(to);
    return made;
}

int rename(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    if (seam.replacementRefused && std::string_view(to) == "prefs.json") return errno = EPERM, -1;
    seam.renamesToCopies += std::strstr(to, ".unreadable") != nullptr;
    if (auto program = std::exchange(seam.beforeRename, nullptr))
        if (const int error = program(from, to)) return errno = error, -1;
    const int renamed = ::renameat2(fromDir, from, toDir, to, flags);
    if (renamed == 0 && seam.afterNaming && std::strstr(to, ".unreadable")) seam.afterNaming(to);
    return renamed;
}

int flush(int fd) {
    struct stat st {};
    seam.copyWrites += ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == off_t(seam.damagedSize);
    return ::fsync(fd);
}

class DamagedFileCopyTest : public testing::FreshWorldTest {
protected:
    // A damaged settings file alone in its folder, with the calls above in place.
    void damage(const std::string& text) {
        for (const auto& name : names()) fs::remove_all(folder / name);
        writeFile(file, text);
        struct stat st {};
        ::stat(file.c_str(), &st);
        seam = Seam{};
        seam.damaged = st.st_ino, seam.damagedSize = text.size();
        detail::atomicFileCalls.linkat = link;
        detail::atomicFileCalls.renameat2 = rename;
        detail::atomicFileCalls.fsync = flush;
    }
    std::vector<std::string> names() const {
        std::vector<std::string> all;
        for (const auto& entry : fs::directory_iterator(folder.path())) all.push_back(entry.path().filename().string());
        std::sort(all.begin(), all.end());
        return all;
    }

    quillmar::testing::ScratchFolder folder{"copy"};
    fs::path file = folder / "prefs.json";
    std::string copy = file.string() + ".unreadable";
    detail::AtomicFileCallsOverride restore;
};

TEST_F(DamagedFileCopyTest, ACopyOfTheBytesIsWrittenOnceAndUsedAgainHoweverOftenTheReplacementIsTried) {
    // Two runs of saves whose replacement does not go in, the damaged file's first copy's names
    // taken by what is no copy of it: one copy, written once (the second run finds it by its bytes,
    // though a name before it is free by then), and where /proc is mounted made without a name of
    // its own.
    const std::string damaged = R"({"d0":0,"d1":1,"cut)";
    for (bool noProc : {false, true}) {
        SCOPED_TRACE(noProc ? "no /proc" : "the damaged file's links refused");
        damage(damaged);
        seam.noProc = noProc;
        writeFile(copy, std::string(damaged.size(), 'x'));  // the user's own, of the same size
        writeFile(folder / "elsewhere", damaged);
        fs::create_symlink(folder / "elsewhere", copy + "-2");
        writeFile(copy + "-3", "other");
        seam.replacementRefused = true;
        for (int run = 0; run < 2; ++run) {
            if (run == 1) fs::remove(copy + "-3");  // a name before the copy's is free now
            JsonFileDefaultsStore store(file);
            store.load();
            for (int i = 0; i < 3; ++i) EXPECT_FALSE(store.save({{"k", i}}, {"k"}));
        }
        EXPECT_EQ(seam.copyWrites, 1);
        EXPECT_EQ(seam.renamesToCopies, noProc ? 1 : 0);
        seam.replacementRefused = false;
        JsonFileDefaultsStore store(file);
        store.load();
        EXPECT_EQ(store.takeRecoveries(), std::vector<std::string>{file.string() + " was damaged: moved aside as " + copy +
                                                                   "-4; 2 settings read from it are kept"});
        EXPECT_EQ(readFile(copy + "-4"), damaged);
        EXPECT_EQ(readFile(copy), std::string(damaged.size(), 'x'));
        EXPECT_EQ(names(), (std::vector<std::string>{"elsewhere", "prefs.json", "prefs.json.lock", "prefs.json.unreadable",
                                                     "prefs.json.unreadable-2", "prefs.json.unreadable-4"}));
    }
}

// Another program puts files of its own at the names a save writes: nothing of it is removed or
// said to be the save's, and the damaged file is kept. Without /proc, the copy of its bytes, written
// in a folder of its own, is renamed to its name only while that is free, and a copy that cannot be
// named leaves nothing behind; the damaged file is not replaced while no copy of it stands, and one
// whose copy went just before the replacement's rename is copied again under the next name.
TEST_F(DamagedFileCopyTest, FilesAnotherProgramPutsAtTheNamesASaveWritesStayTheirs) {
    const std::string damaged = R"({"a":1,"cut)";
    static fs::path in;
    in = folder.path();
    static auto put = [](const char* at, const std::string& text) {
        writeFile(in / "theirs.new", text);
        fs::rename(in / "theirs.new", in / at);
    };
    for (int error : {0, EIO}) {
        SCOPED_TRACE(error);
        damage(damaged);
        seam.noProc = true;
        seam.beforeRename = [error](const char*, const char* to) { return put(to, "theirs"), error; };
        JsonFileDefaultsStore store(file);
        store.load();
        EXPECT_EQ(seam.copyWrites, 1);
        EXPECT_EQ(readFile(copy), "theirs");
        if (!error) {
            EXPECT_EQ(store.takeRecoveries(), std::vector<std::string>{file.string() + " was damaged: moved aside as " +
                                                                       copy + "-2; 1 setting read from it is kept"});
            EXPECT_EQ(readFile(copy + "-2"), damaged);
        } else {
            EXPECT_EQ(store.lastSaveFailure(), "cannot keep " + file.string() + " as " + copy + ": " + std::strerror(EIO));
            EXPECT_EQ(names(), (std::vector<std::string>{"prefs.json", "prefs.json.lock", "prefs.json.unreadable"}));
        }
    }
    // At each copy's name as soon as it is made: the damaged file stays as it is, not replaced while
    // no copy of it stands.
    damage(damaged);
    seam.afterNaming = [](const char* to) { put(to, "theirs"); };
    {
        JsonFileDefaultsStore store(file);
        store.load();
        EXPECT_EQ(readFile(file), damaged);
        EXPECT_EQ(store.lastSaveFailure(),
                  "cannot keep " + file.string() + ": other files keep being put at its copy's names");
    }
    seam.afterNaming = nullptr;
    // At the copy's name right before the replacement's rename: the damaged file is kept as a copy of
    // its bytes under the next name, and the line names that one.
    damage(damaged);
    seam.beforeRename = [](const char*, const char*) { return put("prefs.json.unreadable", "theirs"), 0; };
    {
        JsonFileDefaultsStore store(file);
        store.load();
        EXPECT_EQ(store.takeRecoveries(), std::vector<std::string>{file.string() + " was damaged: moved aside as " + copy +
                                                                   "-2; 1 setting read from it is kept"});
        EXPECT_EQ(readFile(copy + "-2"), damaged);
    }
    // At the settings file's temporary name: a rename that fails leaves that file there.
    fs::remove(file);
    JsonFileDefaultsStore store(file);
    store.load();
    seam.beforeRename = [](const char* from, const char*) { return put(from, R"({"theirs":0})"), EIO; };
    EXPECT_FALSE(store.save({{"k", 1}}, {"k"}));
    EXPECT_EQ(std::ranges::count_if(names(), [&](const auto& name) { return readFile(folder / name) == R"({"theirs":0})"; }), 1);
    seam.beforeRename = [](const char* from, const char*) { return put(from, R"({"theirs":1})"), 0; };
    EXPECT_FALSE(store.save({{"k", 1}}, {"k"}));
    EXPECT_EQ(store.lastSaveFailure(), "cannot write " + file.string() +
                                           ": another program put a file of its own at the name it was written under, "
                                           "and that file went in in its place");
    EXPECT_TRUE(store.save({{"k", 1}}, {}));
    EXPECT_EQ(readFile(file), R"({"k":1,"theirs":1})");
}

}  // namespace
}  // namespace quillmar::platform
