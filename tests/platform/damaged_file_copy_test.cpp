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
    std::string settingsName;
    std::function<int(const char* from, const char* to)> beforeRename;
    int copyWrites = 0;       // flushes of a file of the damaged file's size: one a copy written
    int renamesOfCopies = 0;  // renames from a name of a copy's, made where no link is to be had
};
Seam seam;

int link(int fromDir, const char* from, int toDir, const char* to, int flags) {
    struct stat st {};
    if (seam.noProc) return errno = ENOENT, -1;
    if (::stat(from, &st) == 0 && st.st_ino == seam.damaged) return errno = EPERM, -1;
    return ::linkat(fromDir, from, toDir, to, flags);
}

int rename(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    if (seam.replacementRefused && seam.settingsName == to) return errno = EPERM, -1;
    seam.renamesOfCopies += std::strstr(from, ".unreadable") != nullptr;
    if (auto program = std::exchange(seam.beforeRename, nullptr))
        if (const int error = program(from, to)) return errno = error, -1;
    return ::renameat2(fromDir, from, toDir, to, flags);
}

int flush(int fd) {
    struct stat st {};
    seam.copyWrites += ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == off_t(seam.damagedSize);
    return ::fsync(fd);
}

class DamagedFileCopyTest : public testing::FreshWorldTest {
protected:
    // A damaged settings file in a folder of its own, with the calls above in place.
    void damage(const std::string& text) {
        writeFile(file, text);
        struct stat st {};
        ::stat(file.c_str(), &st);
        seam = Seam{st.st_ino, text.size(), false, false, file.filename().string(), nullptr, 0, 0};
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
        for (const auto& name : names()) fs::remove_all(folder / name);
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
            EXPECT_TRUE(store.changesUnsaved());
        }
        EXPECT_EQ(seam.copyWrites, 1);
        EXPECT_EQ(seam.renamesOfCopies, noProc ? 1 : 0);
        seam.replacementRefused = false;
        JsonFileDefaultsStore store(file);
        store.load();
        EXPECT_EQ(store.takeRecoveries(), std::vector<std::string>{file.string() + " was damaged: moved aside as " + copy +
                                                                   "-4; 2 settings read from it are kept"});
        EXPECT_EQ(readFile(copy + "-4"), damaged);
        EXPECT_EQ(readFile(file), R"({"d0":0,"d1":1})");
        EXPECT_EQ(readFile(copy), std::string(damaged.size(), 'x'));
        EXPECT_TRUE(fs::is_symlink(copy + "-2"));
        EXPECT_EQ(names(), (std::vector<std::string>{"elsewhere", "prefs.json", "prefs.json.lock", "prefs.json.unreadable",
                                                     "prefs.json.unreadable-2", "prefs.json.unreadable-4"}));
    }
}

// Another program puts a file of its own at a name a save writes under, right before the rename
// (without /proc, a copy of the damaged file's bytes is written beside its name): that file is
// neither removed nor said to be what the save wrote.
TEST_F(DamagedFileCopyTest, FilesAnotherProgramPutsAtTheNamesASaveWritesUnderStayTheirs) {
    const std::string damaged = R"({"a":1,"cut)";
    static fs::path in;
    in = folder.path();
    struct Case {
        const char* what;
        int (*program)(const char* from, const char* to);
        const char* theirsAt;  // where the other program's file is then
        int copyWrites;
        bool saved;
    };
    static auto put = [](const char* at, const std::string& text = "theirs") {
        writeFile(in / "theirs.new", text);
        fs::rename(in / "theirs.new", in / at);
    };
    for (const auto& [what, program, theirsAt, writes, saved] : {
             Case{"at the copy's temporary name: it goes to the copy's name, the copy to the next",
                  [](const char* from, const char*) { return put(from), 0; }, ".unreadable", 2, true},
             Case{"at the copy's name: it is not replaced",
                  [](const char*, const char* to) { return put(to), 0; }, ".unreadable", 1, true},
             Case{"at the copy's temporary name, then the rename fails: it stays there",
                  [](const char* from, const char*) { return put(from), EIO; }, ".quillmar-tmp.", 1, false},
         }) {
        SCOPED_TRACE(what);
        for (const auto& name : names()) fs::remove_all(folder / name);
        damage(damaged);
        seam.noProc = true;
        seam.beforeRename = program;  // at the first rename: the copy's
        JsonFileDefaultsStore store(file);
        store.load();
        EXPECT_EQ(seam.copyWrites, writes);
        std::size_t theirs = 0;
        for (const auto& name : names())
            if (readFile(folder / name) == "theirs") theirs += name.find(theirsAt) != std::string::npos;
        EXPECT_EQ(theirs, 1u);
        if (saved) {
            EXPECT_EQ(store.takeRecoveries(), std::vector<std::string>{file.string() + " was damaged: moved aside as " +
                                                                       copy + "-2; 1 setting read from it is kept"});
            EXPECT_EQ(readFile(copy + "-2"), damaged);
        } else {
            EXPECT_EQ(store.lastSaveFailure(), "cannot keep " + file.string() + " as " + copy + ": " + std::strerror(EIO));
            EXPECT_EQ(readFile(file), damaged);
        }
    }
    // At the settings file's temporary name as it is renamed into place: that file went in, so the
    // save failed and its change waits, to be merged over it by the next save.
    fs::remove(file);
    JsonFileDefaultsStore store(file);
    store.load();
    seam.beforeRename = [](const char* from, const char*) { return put(from, R"({"theirs":1})"), 0; };
    EXPECT_FALSE(store.save({{"k", 1}}, {"k"}));
    EXPECT_EQ(store.lastSaveFailure(), "cannot write " + file.string() +
                                           ": another program put a file of its own at the name it was written under, "
                                           "and that file went in in its place");
    EXPECT_TRUE(store.changesUnsaved());
    EXPECT_TRUE(store.save({{"k", 1}}, {}));
    EXPECT_EQ(readFile(file), R"({"k":1,"theirs":1})");
}

}  // namespace
}  // namespace quillmar::platform
