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

// The lock file's counters: the turn taken last, and the turn a waiter last saw held.
struct Turns {
    std::uint64_t taken = 0;
    std::uint64_t waitedOut = 0;
};

Turns readTurns(int fd) {
    std::uint64_t both[2] = {0, 0};
    if (::pread(fd, both, sizeof both, 0) < 0) return {};
    return {both[0], both[1]};
}

void writeCounter(int fd, std::uint64_t value, off_t at) { (void)::pwrite(fd, &value, sizeof value, at); }

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
    if (::fstat(fd->get(), &st) != 0) return refuse("cannot open the lock file " + shown + ": " + std::strerror(errno));
    if (!S_ISREG(st.st_mode)) return refuse(shown + " is " + fileKindName(st.st_mode) + ", not a regular file");
    if (st.st_uid != me) return refuse(shown + " belongs to another user");
    if ((st.st_mode & 077) == 0) return Opened::ok;
    // Others may have it open and hold it: it goes (when it is still the file at the name) and a
    // private one is made in its place. No run of this program ever locks such a file.
    const auto now = fileAtName(dirFd, name);
    if (now && now->identity == FileIdentity{st.st_dev, st.st_ino} && ::unlinkat(dirFd, name.c_str(), 0) != 0)
        return refuse(shown + " may be opened by other users and cannot be removed: " + std::strerror(errno));
    fd->reset();
    return Opened::again;
}

void SettingsFileLock::letWaiterIn(int fd) const {
    if (!lastTurn_) return;
    const auto until = Clock::now() + kLetIn;
    for (Turns turns = readTurns(fd); turns.taken == *lastTurn_ && turns.waitedOut == turns.taken && Clock::now() < until;
         turns = readTurns(fd))
        std::this_thread::sleep_for(kLook);
}

int SettingsFileLock::wait(int fd, bool block) const {
    if (wait_.lock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
    if (errno != EWOULDBLOCK || !block) return errno;
    const TickTimer timer(wait_.tick);
    std::uint64_t turn = readTurns(fd).taken;
    auto since = Clock::now();
    for (;;) {
        writeCounter(fd, turn, sizeof(std::uint64_t));  // waiting out this turn
        if (wait_.lock(fd, timer.armed() ? LOCK_EX : LOCK_EX | LOCK_NB) == 0) return 0;
        if (errno != EINTR && errno != EWOULDBLOCK) return errno;
        if (!timer.armed()) std::this_thread::sleep_for(kLook);
        if (const std::uint64_t now = readTurns(fd).taken; now != turn) {
            turn = now;
            since = Clock::now();
        } else if (Clock::now() - since >= wait_.patience) {
            return EWOULDBLOCK;
        }
    }
}

FileDescriptor SettingsFileLock::take(int dirFd, const std::string& settingsName, const fs::path& shownFolder,
                                      std::string* problem, bool block) {
    const std::string name = lockName(dirFd, settingsName);
    const std::string shown = (shownFolder.empty() ? fs::path(name) : shownFolder / name).string();
    for (int file = 0; file < kMostFiles; ++file) {
        FileDescriptor fd;
        const Opened opened = open(dirFd, name, shown, &fd, problem);
        if (opened == Opened::refused) return FileDescriptor();
        if (opened == Opened::again) continue;
        letWaiterIn(fd.get());
        if (const int error = wait(fd.get(), block)) {
            if (error != EWOULDBLOCK) {
                *problem = "cannot lock " + shown + ": " + std::strerror(error);
            } else {
                std::ostringstream why;
                why << shown << " is locked by another process; gave up after "
                    << std::chrono::duration<double>(wait_.patience).count() << " s";
                *problem = why.str();
            }
            return FileDescriptor();
        }
        if (!leadsTo(dirFd, settingsName, fd.get())) continue;
        const std::uint64_t turn = readTurns(fd.get()).taken + 1;
        writeCounter(fd.get(), turn, 0);
        lastTurn_ = turn;
        return fd;
    }
    *problem = shown + " keeps being replaced";
    return FileDescriptor();
}

bool SettingsFileLock::leadsTo(int dirFd, const std::string& settingsName, int lockFd) {
    struct stat st {};
    const auto now = fileAtName(dirFd, lockName(dirFd, settingsName));
    return ::fstat(lockFd, &st) == 0 && now && now->identity == FileIdentity{st.st_dev, st.st_ino};
}

}  // namespace quillmar::platform
