#include "platform/settings_file_lock.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sstream>
#include <string_view>
#include <thread>

#include "platform/atomic_file.h"
#include "platform/regular_file.h"

namespace quillmar::platform {

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// How often a run letting a waiter in, or a waiter without a timer, looks at the lock file, and
// how long a run lets a waiter in at most (a waiter that died meanwhile costs no more).
constexpr std::chrono::milliseconds kLook{1};
constexpr std::chrono::milliseconds kLetIn{100};
// Successive files at the lock's name (each removed or replaced while this run locked the one
// before) after which the run stops trying.
constexpr int kMostFiles = 100;

// The lock file's counters: the turn taken last (bytes 0-7), and the turn a waiter last saw held
// (bytes 8-15). Each is written on its own, whole, so the file is only ever 0, 8 or 16 bytes long.
struct Turns {
    std::uint64_t taken = 0;
    std::uint64_t waitedOut = 0;
};
constexpr ssize_t kCounter = 8;
// Turns run from 1 to 2^48 - 1 and round again (0 is a file no run has taken yet), so the top two
// bytes stay zero: a counter the lock takes stays one it takes once a run moves it on.
constexpr std::uint64_t kTurns = std::uint64_t{1} << 48;

std::uint64_t decode(const unsigned char* bytes) {
    std::uint64_t value = 0;
    for (ssize_t i = kCounter; i-- > 0;) value = value << 8 | bytes[i];
    return value;
}

Turns readTurns(int fd) {
    unsigned char bytes[2 * kCounter] = {};
    if (::pread(fd, bytes, sizeof bytes, 0) < 0) return {};
    return {decode(bytes), decode(bytes + kCounter)};
}

void writeCounter(int fd, std::uint64_t value, off_t at) {
    unsigned char bytes[kCounter];
    for (auto& byte : bytes) {
        byte = static_cast<unsigned char>(value);
        value >>= 8;
    }
    (void)::pwrite(fd, bytes, sizeof bytes, at);
}

// Whether `size` bytes are what runs write in a lock file: nothing, or one or two counters, each
// below 2^48, so its top two bytes are zero, which no text has.
bool areTurns(const unsigned char* bytes, ssize_t size) {
    if (size != 0 && size != kCounter && size != 2 * kCounter) return false;
    for (ssize_t end = kCounter; end <= size; end += kCounter)
        if (bytes[end - 1] != 0 || bytes[end - 2] != 0) return false;
    return true;
}

// Whether `name` in the folder open at dirFd leads to the file open at fd, without following a link.
bool nameLeadsTo(int dirFd, const std::string& name, int fd) {
    struct stat st {};
    const auto now = fileAtName(dirFd, name);
    return ::fstat(fd, &st) == 0 && now && now->identity == FileIdentity{st.st_dev, st.st_ino};
}

int wakeSignal() { return SIGRTMIN + 2; }

void ignoreWake(int) {}

// The waiting thread's own timer: while it lives, its signal interrupts the thread's blocking
// calls every tick (the handler does nothing and is not restarting), and only that thread's.
class TickTimer {
public:
    explicit TickTimer(std::chrono::milliseconds tick) {
        static const bool handled = [] {
            struct sigaction action {};
            action.sa_handler = ignoreWake;
            sigemptyset(&action.sa_mask);
            return ::sigaction(wakeSignal(), &action, nullptr) == 0;
        }();
        sigset_t wake;
        sigemptyset(&wake);
        sigaddset(&wake, wakeSignal());
        if (!handled || ::pthread_sigmask(SIG_UNBLOCK, &wake, &saved_) != 0) return;
        unblocked_ = true;
        struct sigevent event {};
        event.sigev_notify = SIGEV_THREAD_ID;
        event.sigev_signo = wakeSignal();
        event._sigev_un._tid = ::gettid();
        if (::timer_create(CLOCK_MONOTONIC, &event, &timer_) != 0) return;
        const auto ns = std::chrono::nanoseconds(std::max(tick, std::chrono::milliseconds(1))).count();
        const timespec every{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
        const itimerspec spec{every, every};
        armed_ = ::timer_settime(timer_, 0, &spec, nullptr) == 0;
        if (!armed_) ::timer_delete(timer_);
    }
    ~TickTimer() {
        // A signal still pending is taken when timer_delete returns, while it is unblocked.
        if (armed_) ::timer_delete(timer_);
        if (unblocked_) ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
    }
    TickTimer(const TickTimer&) = delete;
    TickTimer& operator=(const TickTimer&) = delete;
    bool armed() const { return armed_; }

private:
    timer_t timer_{};
    sigset_t saved_{};
    bool unblocked_ = false;
    bool armed_ = false;
};

}  // namespace

SettingsFileLock::SettingsFileLock(LockWait wait) : wait_(std::move(wait)) {
    if (!wait_.lock) wait_.lock = ::flock;
    if (!wait_.fstat) wait_.fstat = ::fstat;
    if (!wait_.now) wait_.now = Clock::now;
}

std::string SettingsFileLock::lockName(int dirFd, const std::string& settingsName) {
    constexpr std::string_view kSuffix = ".lock";
    std::string name = std::string(namePartBefore(dirFd, settingsName, kSuffix.size())) + std::string(kSuffix);
    // A longest name that ends in the suffix is cut to itself: one byte more goes.
    if (name == settingsName)
        name = std::string(namePartBefore(dirFd, settingsName, kSuffix.size() + 1)) + std::string(kSuffix);
    return name;
}

SettingsFileLock::Opened SettingsFileLock::open(int dirFd, const std::string& name, const std::string& shown,
                                                FileDescriptor* fd, std::string* problem) const {
    auto refuse = [&](std::string why) {
        *problem = std::move(why);
        return Opened::refused;
    };
    const uid_t me = ::geteuid();
    const auto at = fileAtName(dirFd, name);
    if (at && !at->isRegular()) return refuse(shown + " is " + fileKindName(at->mode) + ", not a regular file");
    fd->reset(::openat(dirFd, name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600));
    struct stat st {};
    if (fd->get() < 0) {
        const int error = errno;
        if (error == EACCES && ::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && st.st_uid != me)
            return refuse(shown + " belongs to another user");
        return refuse("cannot open the lock file " + shown + ": " + std::strerror(error));
    }
    if (wait_.fstat(fd->get(), &st) != 0) return refuse("cannot open the lock file " + shown + ": " + std::strerror(errno));
    if (!S_ISREG(st.st_mode)) return refuse(shown + " is " + fileKindName(st.st_mode) + ", not a regular file");
    if (st.st_uid != me) return refuse(shown + " belongs to another user");
    if (st.st_nlink == 0) {
        fd->reset();
        return Opened::removed;
    }
    if (st.st_nlink == 1) {
        // Looked at before anything is written: a file of other data is the user's, not the lock's.
        unsigned char bytes[2 * kCounter + 1];
        const ssize_t size = ::pread(fd->get(), bytes, sizeof bytes, 0);
        if (size < 0) return refuse("cannot read the lock file " + shown + ": " + std::strerror(errno));
        if (!areTurns(bytes, size)) return refuse(shown + " is not a lock file: it holds other data");
        if ((st.st_mode & 077) == 0) return Opened::ok;
    }
    // Others may have it open and hold it, or it is another name's file too: the name goes (when it
    // still leads to the file) and a private one is made in its place. No run of this program ever
    // locks or writes such a file.
    if (nameLeadsTo(dirFd, name, fd->get()) && ::unlinkat(dirFd, name.c_str(), 0) != 0)
        return refuse(shown + (st.st_nlink > 1 ? " has another name" : " may be opened by other users") +
                      " and cannot be removed: " + std::strerror(errno));
    fd->reset();
    return Opened::again;
}

void SettingsFileLock::letWaiterIn(int fd) const {
    if (!lastTurn_) return;
    const auto until = wait_.now() + kLetIn;
    for (Turns turns = readTurns(fd);
         turns.taken == *lastTurn_ && turns.waitedOut == turns.taken && wait_.now() < until; turns = readTurns(fd))
        std::this_thread::sleep_for(kLook);
}

int SettingsFileLock::waitFor(int fd, bool patiently) const {
    if (wait_.lock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
    if (errno != EWOULDBLOCK || !patiently) return errno;
    const TickTimer timer(wait_.tick);
    std::uint64_t turn = readTurns(fd).taken;
    auto since = wait_.now();
    for (;;) {
        writeCounter(fd, turn, kCounter);  // waiting out this turn
        if (wait_.lock(fd, timer.armed() ? LOCK_EX : LOCK_EX | LOCK_NB) == 0) return 0;
        if (errno != EINTR && errno != EWOULDBLOCK) return errno;
        if (!timer.armed()) std::this_thread::sleep_for(kLook);
        if (const std::uint64_t now = readTurns(fd).taken; now != turn) {
            turn = now;
            since = wait_.now();
        } else if (wait_.now() - since >= wait_.patience) {
            return EWOULDBLOCK;
        }
    }
}

FileDescriptor SettingsFileLock::take(int dirFd, const std::string& settingsName, const fs::path& shownFolder,
                                      std::string* problem, bool wait) {
    const std::string name = lockName(dirFd, settingsName);
    const std::string shown = (shownFolder.empty() ? fs::path(name) : shownFolder / name).string();
    bool removedBefore = false;
    for (int file = 0; file < kMostFiles; ++file) {
        FileDescriptor fd;
        const Opened opened = open(dirFd, name, shown, &fd, problem);
        if (opened == Opened::refused) return FileDescriptor();
        if (opened == Opened::again) continue;
        if (opened == Opened::removed) {
            // Tried again at once, and after a moment should the removal still be under way, so
            // that the tries are not all spent on the one file.
            if (removedBefore) std::this_thread::sleep_for(kLook);
            removedBefore = true;
            continue;
        }
        if (wait) letWaiterIn(fd.get());
        if (const int error = waitFor(fd.get(), wait)) {
            if (error != EWOULDBLOCK) {
                *problem = "cannot lock " + shown + ": " + std::strerror(error);
            } else {
                std::ostringstream why;
                why << shown << " is locked by another process";
                if (wait) why << gaveUp();
                *problem = why.str();
            }
            return FileDescriptor();
        }
        if (!nameLeadsTo(dirFd, name, fd.get())) continue;
        const std::uint64_t turn = readTurns(fd.get()).taken % (kTurns - 1) + 1;
        writeCounter(fd.get(), turn, 0);
        lastTurn_ = turn;
        return fd;
    }
    *problem = shown + " keeps being replaced";
    return FileDescriptor();
}

std::string SettingsFileLock::gaveUp() const {
    std::ostringstream text;
    text << "; gave up after " << std::chrono::duration<double>(wait_.patience).count() << " s";
    return text.str();
}

std::string SettingsFileLock::reasonWithoutWait(const std::string& problem) const {
    const std::string waited = gaveUp();
    return problem.ends_with(waited) ? problem.substr(0, problem.size() - waited.size()) : problem;
}

bool SettingsFileLock::leadsTo(int dirFd, const std::string& settingsName, int lockFd) {
    return nameLeadsTo(dirFd, lockName(dirFd, settingsName), lockFd);
}

}  // namespace quillmar::platform
