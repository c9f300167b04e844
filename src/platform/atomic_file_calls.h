#pragma once
// The system calls of the atomic write whose failures a file system does not produce on demand
// (a short random read, a folder that cannot be flushed, a rename or a removal that fails, a file
// system that makes no second names).
// The write makes them through this table, so a test can put a failing call in place of one; the
// program never changes it.

#include <sys/types.h>

#include <cstddef>

namespace quillmar::platform::detail {

struct AtomicFileCalls {
    ssize_t (*getrandom)(void* buffer, std::size_t length, unsigned flags);
    int (*fsync)(int fd);
    int (*renameat2)(int fromDir, const char* from, int toDir, const char* to, unsigned flags);
    int (*linkat)(int fromDir, const char* from, int toDir, const char* to, int flags);
    int (*unlinkat)(int dirFd, const char* name, int flags);
};

extern AtomicFileCalls atomicFileCalls;

// Puts the real calls back when it goes.
class AtomicFileCallsOverride {
public:
    AtomicFileCallsOverride() : saved_(atomicFileCalls) {}
    ~AtomicFileCallsOverride() { atomicFileCalls = saved_; }
    AtomicFileCallsOverride(const AtomicFileCallsOverride&) = delete;
    AtomicFileCallsOverride& operator=(const AtomicFileCallsOverride&) = delete;

private:
    AtomicFileCalls saved_;
};

}  // namespace quillmar::platform::detail
