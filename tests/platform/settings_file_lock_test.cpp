#include "platform/settings_file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>

#include <gtest/gtest.h>

#include "support/temp_path.h"

namespace quillmar::platform {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

class SettingsFileLockTest : public ::testing::Test {
protected:
    FileDescriptor take(SettingsFileLock& lock, std::string* problem, bool wait = true) {
        return lock.take(dir.get(), "prefs.json", folder.path(), problem, wait);
    }
    static void write(const fs::path& path, const std::string& text, fs::perms mode = fs::perms(0600)) {
        std::ofstream(path, std::ios::binary) << text;
        fs::permissions(path, mode);
    }
    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    const quillmar::testing::ScratchFolder folder{"lock"};
    const FileDescriptor dir{::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    const fs::path lockFile = folder / "prefs.json.lock";
    SettingsFileLock lock{{milliseconds(40), milliseconds(2), {}}};
};

TEST_F(SettingsFileLockTest, AFileThatIsNotTheLocksOwnIsNeverWritten) {
    std::string problem;
    // Another name of a file of the user's (text, or empty as a lock file is): the lock's name is
    // made anew and the file keeps what it held.
    for (const std::string text : {"secret text", ""}) {
        write(folder / "secret", text);
        fs::remove(lockFile);
        fs::create_hard_link(folder / "secret", lockFile);
        for (int turn = 0; turn < 2; ++turn) EXPECT_GE(take(lock, &problem).get(), 0) << problem;
        EXPECT_EQ(read(folder / "secret"), text);
        EXPECT_EQ(fs::hard_link_count(folder / "secret"), 1u);
        EXPECT_EQ(fs::hard_link_count(lockFile), 1u);
    }

    // Other data at the lock's name, such as a settings file named like a lock (even of a
    // counter's length, and whoever may open it): neither written nor removed; the lock is not had.
    const std::pair<std::string, fs::perms> others[] = {
        {"{}", fs::perms(0600)}, {R"({"a":12})", fs::perms(0600)}, {R"({"b":"12345678"})", fs::perms(0644)}};
    for (const auto& [text, mode] : others) {
        write(lockFile, text, mode);
        for (const bool wait : {true, false}) {
            problem.clear();
            EXPECT_LT(take(lock, &problem, wait).get(), 0);
            EXPECT_EQ(problem, lockFile.string() + " is not a lock file: it holds other data");
        }
        EXPECT_EQ(read(lockFile), text);
    }

    // The counters a lock file holds, as an earlier run left them: taken, and the turn moves on.
    write(lockFile, std::string("\x05\0\0\0\0\0\0\0\x03\0\0\0\0\0\0\0", 16));
    EXPECT_GE(take(lock, &problem).get(), 0) << problem;
    EXPECT_EQ(read(lockFile), std::string("\x06\0\0\0\0\0\0\0\x03\0\0\0\0\0\0\0", 16));
    // The highest counter taken: moved on, it is still one taken, by this run and the next.
    write(lockFile, std::string("\xFF\xFF\xFF\xFF\xFF\xFF\0\0", 8));
    for (int turn = 0; turn < 2; ++turn) EXPECT_GE(take(lock, &problem).get(), 0) << problem;
    SettingsFileLock next{{milliseconds(40), milliseconds(2), {}}};
    EXPECT_GE(take(next, &problem).get(), 0) << problem;
    EXPECT_EQ(read(lockFile), std::string("\x03\0\0\0\0\0\0\0", 8));
}

TEST_F(SettingsFileLockTest, TheLockIsHadOnTheFileAtItsNameAndSaysWhenTheNameMovesOn) {
    // The name leads to a lock file whose removal is under way (its links already 0) for 30 ms: it
    // is tried again after a moment, not every try spent on that file at once, and then had.
    {
        std::optional<std::chrono::steady_clock::time_point> first;
        SettingsFileLock dying({milliseconds(40), milliseconds(2), {}, [&](int fd, struct stat* st) {
                                    const int result = ::fstat(fd, st);
                                    const auto now = std::chrono::steady_clock::now();
                                    if (now - first.value_or(now) < milliseconds(30)) st->st_nlink = 0;
                                    if (!first) first = now;
                                    return result;
                                }});
        std::string problem;
        EXPECT_GE(take(dying, &problem).get(), 0) << problem;
    }

    // The lock file is replaced after it was opened, before it is locked: the file at the name is
    // locked, not the one replaced.
    int calls = 0;
    SettingsFileLock replaced({milliseconds(40), milliseconds(2), [&](int fd, int operation) {
                                   if (calls++ == 0) {
                                       write(folder / "fresh", "");
                                       fs::rename(folder / "fresh", lockFile);
                                   }
                                   return ::flock(fd, operation);
                               }});
    std::string problem;
    const FileDescriptor held = take(replaced, &problem);
    ASSERT_GE(held.get(), 0) << problem;
    EXPECT_TRUE(SettingsFileLock::leadsTo(dir.get(), "prefs.json", held.get()));

    // Held by another run: without waiting, not had at once (and never blocked on).
    bool blocked = false;
    SettingsFileLock once({milliseconds(40), milliseconds(2), [&](int fd, int operation) {
                               blocked = blocked || (operation & LOCK_NB) == 0;
                               return ::flock(fd, operation);
                           }});
    EXPECT_LT(take(once, &problem, /*wait=*/false).get(), 0);
    EXPECT_EQ(problem, lockFile.string() + " is locked by another process");
    EXPECT_FALSE(blocked);
    // What a wait adds is told apart from a folder's name that reads the same.
    const std::string shown = "/x; gave up after 0.04 s";
    EXPECT_LT(once.take(dir.get(), "prefs.json", shown, &problem, /*wait=*/false).get(), 0);
    EXPECT_EQ(once.reasonWithoutWait(problem), problem);

    // The name removed, then a link to the file locked: the name no longer leads to it.
    fs::rename(lockFile, folder / "moved");
    EXPECT_FALSE(SettingsFileLock::leadsTo(dir.get(), "prefs.json", held.get()));
    fs::create_symlink("moved", lockFile);
    EXPECT_FALSE(SettingsFileLock::leadsTo(dir.get(), "prefs.json", held.get()));
}

}  // namespace
}  // namespace quillmar::platform
