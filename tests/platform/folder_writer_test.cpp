// Writing inside a folder others may have planted things in: links, FIFOs and dangling links at a
// name are replaced, never followed or opened; a link where a sub-folder should be is refused;
// a failed write leaves the old file and no temporary one.

#include "platform/folder_writer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

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

    fs::path root, dir, victim;
};

TEST_F(FolderWriterTest, WhatStandsAtANameIsReplacedAndALinkedSubFolderRefused) {
    fs::create_symlink(victim / "precious.txt", dir / "link.txt");
    fs::create_symlink(root / "nowhere.txt", dir / "dangling.txt");
    ASSERT_EQ(::mkfifo((dir / "fifo.txt").c_str(), 0600), 0);
    fs::create_symlink(victim, dir / "sub");
    FolderWriter out(dir);
    for (const char* name : {"link.txt", "dangling.txt", "fifo.txt", "new/deeper/file.txt"}) {
        EXPECT_EQ(out.write(name, std::string("data of ") + name), std::nullopt) << name;  // a FIFO does not block
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / name))) << name;
        EXPECT_EQ(read(dir / name), std::string("data of ") + name);
    }
    EXPECT_FALSE(fs::exists(root / "nowhere.txt"));

    EXPECT_EQ(out.write("sub/x.txt", "x"), (dir / "sub").string() + " is a symbolic link, not a folder");
    EXPECT_EQ(out.write("link.txt/x.txt", "x"), (dir / "link.txt").string() + " is a regular file, not a folder");
    fs::create_directories(dir / "folder");
    EXPECT_EQ(out.write("folder", "x"), (dir / "folder").string() + " is a folder");
    EXPECT_EQ(out.write(std::string(300, 'n'), "x"), "File name too long");
    // The victim is untouched, and no temporary file is left anywhere.
    EXPECT_EQ(names(victim), std::vector<std::string>{"precious.txt"});
    EXPECT_EQ(read(victim / "precious.txt"), "precious");
    EXPECT_EQ(names(dir), (std::vector<std::string>{"dangling.txt", "fifo.txt", "folder", "link.txt", "new", "sub"}));
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
}

TEST_F(FolderWriterTest, AFailedWriteKeepsTheOldFileAndLeavesNoTemporaryOne) {
    FolderWriter out(dir);
    ASSERT_EQ(out.write("keep.txt", "old", 0600), std::nullopt);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "keep.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // The producer gives up half way.
    EXPECT_EQ(out.write("keep.txt",
                        [](int fd, std::string* problem) {
                            EXPECT_EQ(::write(fd, "ne", 2), 2);
                            *problem = "drawing failed";
                            return false;
                        }),
              "drawing failed");
    // The disk refuses more than 4 KiB (a file-size limit stands in for a full disk).
    {
        const quillmar::testing::FileSizeLimit small(4096);
        EXPECT_EQ(out.write("keep.txt", std::string(64 * 1024, 'x')), "File too large");
    }

    EXPECT_EQ(read(dir / "keep.txt"), "old");
    EXPECT_EQ(names(dir), std::vector<std::string>{"keep.txt"});
}

}  // namespace
}  // namespace quillmar::platform
