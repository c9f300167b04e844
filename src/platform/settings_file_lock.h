#pragma once
// The lock by which runs sharing a settings file take turns: flock on "<name>.lock" beside it.
//
// The lock file is made with mode 0600, never through a link, and used only while it is a
// regular file of this user's, with no other name, that no one else may open, holding nothing but
// what runs write there (nothing, or the counters below). One with another name, whatever it
// holds, is removed from the lock's name (the other name keeps the file as it is) and made anew,
// private. One holding anything else (a settings file named like a lock, say) is neither used,
// written nor removed: the lock cannot be had. One that group or others may open (made by hand or
// by a tool) could be held by anyone who opened it: it too is removed and made anew. Once the lock
// is had, the name must still lead to the file locked; otherwise the lock is taken again on the
// file there now.
//
// Waiting is fair and bounded by progress, not by a fixed time. The lock file holds two counters
// of 8 bytes, little-endian, their top two bytes zero (no text passes for them): the turn, bumped
// by every run that takes the lock, and the turn a waiter last saw held. A waiter blocks in flock,
// woken every tick by a timer aimed at its own thread only (no other thread sees the signal), says
// again that it waits and looks at the turn: it gives up only when one turn lasts the whole
// patience (3 s), however long other runs take turns before it. A run that wants the lock again
// while a waiter waits out the run's own last turn lets it go first (for a moment at most), so a
// run that saves often does not take the lock back before a woken waiter can.

#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/file_descriptor.h"

namespace quillmar::platform {

// How long a lock that one holder keeps is waited out (`patience`, from the last turn seen
// taken), and how often a waiter looks (`tick`). `lock` is flock, `fstat` fstat of the lock file
// just opened, and `now` the clock the patience and a waiter's letting in are measured by (the
// steady clock), or what a test puts in their place.
struct LockWait {
    std::chrono::milliseconds patience{3000};
    std::chrono::milliseconds tick{20};
    std::function<int(int fd, int operation)> lock;
    std::function<int(int fd, struct stat* st)> fstat{};
    std::function<std::chrono::steady_clock::time_point()> now{};
};

class SettingsFileLock {
public:
    explicit SettingsFileLock(LockWait wait = {});

    // Takes the lock of the settings file `settingsName` in the folder open at dirFd (shown in
    // reasons as in `shownFolder`): the locked file, let go when it closes; or an invalid
    // descriptor and *problem why ("<folder>/<name>.lock is locked by another process; gave up
    // after 3 s", "... belongs to another user", "... is not a lock file: it holds other data",
    // "cannot lock ...: ..."). Without `wait`, the lock is tried once, not waited for (nor is a
    // waiter let in first): "... is locked by another process" when another run holds it.
    FileDescriptor take(int dirFd, const std::string& settingsName, const std::filesystem::path& shownFolder,
                        std::string* problem, bool wait = true);

    // A reason take() gave without what the wait took ("; gave up after 3 s", found as this lock
    // words it, not in a path): the same reason whether the lock was waited for or only tried.
    std::string reasonWithoutWait(const std::string& problem) const;

    // Whether the lock file's name in the folder open at dirFd still leads to the file open at
    // lockFd (a link at the name is not followed): false once someone removed or replaced it.
    static bool leadsTo(int dirFd, const std::string& settingsName, int lockFd);

    // The lock file's name: "<name>.lock", the name cut as far as the folder's longest name needs
    // (runs on two long names alike take turns), never the settings file's own name.
    static std::string lockName(int dirFd, const std::string& settingsName);

private:
    // again: another file is at the name now; removed: the file's name was removed after it was
    // opened (until that removal is done, the name may still lead to it).
    enum class Opened { ok, again, removed, refused };
    Opened open(int dirFd, const std::string& name, const std::string& shown, FileDescriptor* fd,
                std::string* problem) const;
    void letWaiterIn(int fd) const;
    // 0 once fd is locked, EWOULDBLOCK when one turn lasted the whole patience (or at once when
    // not `patiently`), else the errno.
    int waitFor(int fd, bool patiently) const;
    // What ends the reason of a lock waited for in vain: "; gave up after 3 s".
    std::string gaveUp() const;

    LockWait wait_;
    // The turn this run last took, while it may still be the latest.
    std::optional<std::uint64_t> lastTurn_;
};

}  // namespace quillmar::platform
