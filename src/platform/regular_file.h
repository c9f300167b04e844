#pragma once
// Reading a file that came from outside (a settings file, a scenario) only when it really is a
// regular file of a sane size. What stands at the name is looked at first without opening it
// (lstat), so a device, FIFO, socket, folder or symbolic link is not even opened; a regular file is
// then opened without following a symbolic link and without blocking (O_NOFOLLOW | O_NONBLOCK),
// and the type and size are checked again on the open descriptor (fstat), so nothing swapped in
// between is read. A file larger than the limit is not read either; a read that fails (an I/O error, no memory for the text) says so and is never
// mistaken for what the file holds.
//
//   auto file = readRegularFile(path, 8u << 20);
//   if (file.status == RegularFileRead::Status::ok) parse(file.text);
//   else report(path.string() + " " + file.problem);   // "... is a character device"

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/file_descriptor.h"

namespace quillmar::platform {

// Which file a name stood for when it was read: a later rename or replacement can check that the
// name still stands for the same file.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

struct RegularFileRead {
    enum class Status {
        ok,          // text holds the whole file
        missing,     // nothing stands at the name
        notRegular,  // a device, FIFO, socket, folder or symbolic link: not read
        tooLarge,    // a regular file over the limit: not read
        readFailed,  // a regular file that could not be opened or read
    };
    Status status = Status::missing;
    std::string text;
    std::string problem;  // what is wrong, to follow the file's name: "is a FIFO", "cannot be read: ..."
    std::optional<FileIdentity> identity;  // set whenever the name could be opened
};

RegularFileRead readRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes);
// The same for `name` in the folder open at dirFd; with `keep`, a file read whole stays open there.
RegularFileRead readRegularFileAt(int dirFd, const std::string& name, std::uintmax_t maxBytes,
                                  FileDescriptor* keep = nullptr);

// "a folder", "a character device", ...: the kind of file a stat mode names.
std::string fileKindName(mode_t mode);

// What stands at the name itself (a symbolic link is not followed); nullopt when nothing does.
struct FileAtName {
    mode_t mode = 0;
    FileIdentity identity;
    bool isRegular() const;
};
std::optional<FileAtName> fileAtName(const std::filesystem::path& path);
std::optional<FileAtName> fileAtName(int dirFd, const std::string& name);
// Whether `name` leads to the regular file `identity` (a link at the name is not followed).
bool leadsTo(int dirFd, const std::string& name, const FileIdentity& identity);

}  // namespace quillmar::platform
