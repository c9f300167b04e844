// Writing inside a folder others may have planted things in: links, FIFOs and dangling links at a
// name are replaced, never followed or opened; a link where a sub-folder should be is refused;
// a failed write leaves the old file and no temporary one; modes come from the umask or from this
// user's own file only; failures no file system makes on demand are injected.

#include "platform/folder_writer.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "platform/atomic_file.h"
#include "platform/atomic_file_calls.h"
#include "support/file_size_limit.h"
#include "support/temp_path.h"

namespace quillmar::platform {
namespace {

namespace fs = std::filesystem;

class FolderWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = quillmar::testing::uniqueTempPath("folder");
        dir = root / "out";
        victim = root / "victim";
        fs::create_directories(dir);
        fs::create_directories(victim);
        std::ofstream(victim / "precious.txt") << "precious";
    }
    void TearDown() override { fs::remove_all(root); }
    static std::string read(const fs::path& p) {
        std::ifstream in(p);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static std::vector<std::string> names(const fs::path& folder) {
        std::vector<std::string> found;
        for (const auto& e : fs::directory_iterator(folder)) found.push_back(e.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

    static mode_t modeOf(const fs::path& p) {
        struct stat st {};
        return ::lstat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    // What a write said: "written", or its failure as worded.
    static std::string said(const std::optional<WriteFailure>& failure) {
        return failure ? describe(*failure) : "written";
    }

    fs::path root, dir, victim;
};

TEST_F(FolderWriterTest, WhatStandsAtANameIsReplacedAndALinkedSubFolderRefused) {
    fs::create_symlink(victim / "precious.txt", dir / "link.txt");
    fs::create_symlink(root / "nowhere.txt", dir / "dangling.txt");
    ASSERT_EQ(::mkfifo((dir / "fifo.txt").c_str(), 0600), 0);
    fs::create_symlink(victim, dir / "sub");
    FolderWriter out(dir);
    for (const char* name : {"link.txt", "dangling.txt", "fifo.txt", "new/deeper/file.txt"}) {
        EXPECT_EQ(said(out.write(name, std::string("data of ") + name)), "written") << name;  // a FIFO does not block
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / name))) << name;
        EXPECT_EQ(read(dir / name), std::string("data of ") + name);
    }
    EXPECT_FALSE(fs::exists(root / "nowhere.txt"));

    EXPECT_EQ(said(out.write("sub/x.txt", "x")), (dir / "sub").string() + " is a symbolic link, not a folder");
    EXPECT_EQ(said(out.write("link.txt/x.txt", "x")), (dir / "link.txt").string() + " is a regular file, not a folder");
    fs::create_directories(dir / "folder");
    EXPECT_EQ(said(out.write("folder", "x")), (dir / "folder").string() + " is a folder");
    EXPECT_EQ(said(out.write(std::string(300, 'n'), "x")), "File name too long");
    // No level leaves the folder or stays in place, whatever the caller passes.
    EXPECT_EQ(said(out.write("new/../../x.txt", "x")), "new/../../x.txt has a \"..\" level");
    EXPECT_EQ(said(out.write("./x.txt", "x")), "./x.txt has a \".\" level");
    // A folder given as a dangling link says so.
    fs::create_symlink(root / "gone", root / "dangling-out");
    EXPECT_EQ(said(FolderWriter(root / "dangling-out").write("x", "x")),
              (root / "dangling-out").string() + " is a symbolic link to a missing target, not a folder");

    // The victim is untouched, and no temporary file is left anywhere.
    EXPECT_EQ(names(victim), std::vector<std::string>{"precious.txt"});
    EXPECT_EQ(read(victim / "precious.txt"), "precious");
    EXPECT_EQ(names(dir), (std::vector<std::string>{"dangling.txt", "fifo.txt", "folder", "link.txt", "new", "sub"}));
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
}

TEST_F(FolderWriterTest, AFailedWriteKeepsTheOldFileAndLeavesNoTemporaryOne) {
    FolderWriter out(dir);
    ASSERT_EQ(said(out.write("keep.txt", "old", 0600)), "written");
    EXPECT_EQ(modeOf(dir / "keep.txt"), 0600u);

    // The producer gives up half way.
    EXPECT_EQ(said(out.write("keep.txt",
                             [](int fd) -> std::optional<WriteFailure> {
                                 EXPECT_EQ(::write(fd, "ne", 2), 2);
                                 return WriteFailure{WriteFailure::Kind::producer, 0, {}, 0, "drawing failed"};
                             })),
              "drawing failed");
    // The disk refuses more than 4 KiB (a file-size limit stands in for a full disk).
    {
        const quillmar::testing::FileSizeLimit small(4096);
        EXPECT_EQ(said(out.write("keep.txt", std::string(64 * 1024, 'x'))), "File too large");
    }

    EXPECT_EQ(read(dir / "keep.txt"), "old");
    EXPECT_EQ(names(dir), std::vector<std::string>{"keep.txt"});
}

TEST_F(FolderWriterTest, ModesComeFromTheUmaskOrFromThisUsersOwnFileAndNeverCarryASetIdBit) {
    FolderWriter out(dir);
    const mode_t saved = ::umask(077);
    EXPECT_EQ(said(out.write("new.png", "new")), "written");
    ::umask(022);
    EXPECT_EQ(said(out.write("new.png", "again")), "written");  // keeps what it had: this user's 0600
    EXPECT_EQ(said(out.write("dump.txt", "dump", 0600)), "written");
    std::ofstream(dir / "own.png") << "own";
    ASSERT_EQ(::chmod((dir / "own.png").c_str(), 06775), 0);
    EXPECT_EQ(said(out.write("own.png", "replaced")), "written");
    EXPECT_EQ(modeOf(dir / "new.png"), 0600u);
    EXPECT_EQ(modeOf(dir / "dump.txt"), 0600u);
    EXPECT_EQ(modeOf(dir / "own.png"), 0775u);
    // Another user's file lends nothing, not even its plain permission bits.
    const bool root = ::geteuid() == 0;
    if (root) {
        std::ofstream(dir / "planted.png") << "planted";
        EXPECT_EQ(::chown((dir / "planted.png").c_str(), 65534, 65534), 0);
        EXPECT_EQ(::chmod((dir / "planted.png").c_str(), 06777), 0);
        EXPECT_EQ(said(out.write("planted.png", "mine")), "written");
        struct stat st {};
        EXPECT_EQ(::lstat((dir / "planted.png").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0644u);
        EXPECT_EQ(st.st_uid, 0u);
    }
    ::umask(saved);
    if (!root) GTEST_SKIP() << "planting a file of another user's needs root";
}

TEST_F(FolderWriterTest, TemporaryNamesFitTheFolderAndAreNoNameAPersonWouldPick) {
    FolderWriter out(dir);
    const FileDescriptor folder(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // Names up to the folder's longest: the temporary name is cut to fit, never at a character's middle.
    const std::string longest = std::string(224, 'n') + "\u00e9" + std::string(29, 'n');  // 255 bytes
    for (const std::string& name : {std::string("settings.json"), std::string(245, 'l'), longest}) {
        std::string temporary;
        EXPECT_EQ(said(out.write(name,
                                 [&](int) -> std::optional<WriteFailure> {
                                     for (const auto& e : fs::directory_iterator(dir))
                                         if (e.path().filename() != name) temporary = e.path().filename().string();
                                     return std::nullopt;
                                 })),
                  "written")
            << name.size();
        EXPECT_TRUE(isTemporaryNameFor(folder.get(), name, temporary)) << temporary;
        EXPECT_LE(temporary.size(), 255u);
        EXPECT_EQ(temporary.find("\xc3."), std::string::npos);  // not half of "é"
        EXPECT_EQ(names(dir), std::vector<std::string>{name});
        fs::remove(dir / name);
    }
    const std::string random = "Ab12Cd34Ef56Gh78";
    EXPECT_TRUE(isTemporaryNameFor(folder.get(), "s.json", "s.json.quillmar-tmp." + random));
    for (const std::string& person : std::vector<std::string>{"s.json.tmp-backup", "s.json.tmp-Ab12cd", "s.json.quillmar-tmp.backup",
                                      "s.json.quillmar-tmp.Ab12Cd34Ef56Gh7_", "t.json.quillmar-tmp." + random,
                                      "s.json.quillmar-tmp." + random + "7", ".quillmar-tmp." + random,
                                      "s.js.quillmar-tmp." + random})
        EXPECT_FALSE(isTemporaryNameFor(folder.get(), "s.json", person)) << person;
}

// Calls in place of the system's, for failures no file system makes on demand.
int failingCalls = 0;
ssize_t oneByteAtATime(void* buffer, std::size_t, unsigned) {
    *static_cast<unsigned char*>(buffer) = 7;
    return 1;
}
ssize_t noRandomness(void*, std::size_t, unsigned) {
    errno = ENOSYS;
    return failingCalls++ == 0 ? 0 : -1;
}
int folderCannotBeFlushed(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        errno = EIO;
        return -1;
    }
    return ::fsync(fd);
}

TEST_F(FolderWriterTest, FailuresOfRandomnessAndFlushingAreReported) {
    FolderWriter out(dir);
    const detail::AtomicFileCallsOverride restore;
    const detail::AtomicFileCalls real = detail::atomicFileCalls;
    // Randomness that comes a byte at a time is still all there; none at all fails the write.
    detail::atomicFileCalls.getrandom = oneByteAtATime;
    EXPECT_EQ(said(out.write("a.txt", "a")), "written");
    detail::atomicFileCalls.getrandom = noRandomness;
    EXPECT_EQ(said(out.write("b.txt", "b")), std::strerror(EIO));
    EXPECT_EQ(said(out.write("b.txt", "b")), std::strerror(ENOSYS));
    detail::atomicFileCalls = real;
    // A folder that cannot be flushed: the rename may not last, and the write says so.
    detail::atomicFileCalls.fsync = folderCannotBeFlushed;
    EXPECT_EQ(said(out.write("c.txt", "c")), std::strerror(EIO));
    detail::atomicFileCalls = real;
    EXPECT_EQ(names(dir), (std::vector<std::string>{"a.txt", "c.txt"}));
}

}  // namespace
}  // namespace quillmar::platform
