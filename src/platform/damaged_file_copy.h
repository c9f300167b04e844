#pragma once
// Keeping a damaged settings file as the file that replaces it goes in.
//
// The damaged file stays at its name, untouched, until its replacement is complete. Right before
// the replacement is renamed over the name, the damaged file gets a copy's name beside it
// ("<name>.unreadable", then "-2" up to "-999", the name cut where the folder's longest name needs
// it; a name that is taken is never replaced). There is one copy however often and in however many
// runs the replacement is tried: the copy an earlier try made is used again while its name leads
// to it, and so is a copy's name that leads to the damaged file already (a run killed between the
// copy and the rename leaves one, and so does another run a moment before) or to a regular file of
// this user's holding exactly its bytes (a copy of them, made where no second name could be).
//
// The new name is made for the very file that was read, through the descriptor it was read by
// (linkat of /proc/self/fd/N), so it can lead to no other file and nothing has to be removed after
// it. Where no second name can be made (another account's file, which the kernel will not link; a
// file system without them; no /proc), the copy is a new file holding the bytes read, written once
// and then only named, at the first free copy's name:
// - with /proc, it is made without a name (O_TMPFILE) and linked to the copy's name once whole, so
//   no other name ever leads to it;
// - otherwise it is written in a private folder made for it beside its name (mode 0700,
//   "<name>.unreadable.quillmar-tmp.<16 letters or digits>", which the store clears once a run
//   killed meanwhile left it) and renamed from there to the copy's name only while that is free
//   (renameat2 without replacing). No other user can put anything in that folder, and no program
//   but this run knows its name, so what is renamed is the file written; no name in the settings
//   folder is removed for it but the folder's own, once empty (a folder is removed only while it
//   is, so no file goes with it).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/regular_file.h"

namespace quillmar::platform {

struct DamagedFileCopy {
    std::string name;       // the copy's name in the folder
    FileIdentity identity;  // the file at it: the damaged file itself, or a copy of its bytes
};

// Gives the damaged file read through readFd (-1: no longer open; then only its bytes are copied),
// which stood at `name` in the folder open at dirFd and held `bytes`, a copy's name (`previous`,
// when given, is the copy an earlier try made: used while its name leads to it); `shown` is its
// path as reasons show it. The copy, or nullopt and *why: "<shown> is damaged and stays as it is:
// every name for a copy up to <shown>.unreadable-999 is taken", "cannot keep <shown> as <copy>:
// <errno>", "<shown> was removed while it was saved" (it has no name left to link to).
std::optional<DamagedFileCopy> keepDamagedFileCopy(int dirFd, const std::string& name, int readFd,
                                                   std::string_view bytes, const std::filesystem::path& shown,
                                                   const DamagedFileCopy* previous, std::string* why);

// A copy of `bytes` under the first free copy's name (after the damaged file lost the one it was
// given): as keepDamagedFileCopy, without a second name.
std::optional<DamagedFileCopy> keepDamagedFileBytes(int dirFd, const std::string& name, int readFd,
                                                    std::string_view bytes, const std::filesystem::path& shown,
                                                    std::string* why);

// The path a copy's name is shown by: the damaged file's (`shown`) with the copy's name in place.
std::filesystem::path shownCopy(const std::filesystem::path& shown, const std::string& copyName);

// Whether the copy's name still leads to the file it was given to.
bool stillKept(int dirFd, const DamagedFileCopy& copy);

// A killed run's private folder of a copy of the damaged `name`'s bytes (its name is `candidate`)
// goes, with the bytes in it: only a folder of this user's that no one else may open, and in it
// only a regular file of this user's with one link. Whether `candidate` is such a folder's name.
bool removeLeftCopyFolder(int dirFd, const std::string& name, const char* candidate);

}  // namespace quillmar::platform
