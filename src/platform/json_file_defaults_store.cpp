#include "platform/json_file_defaults_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <istream>
#include <streambuf>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/folder_writer.h"
#include "platform/json_nesting.h"

namespace quillmar::platform {

namespace fs = std::filesystem;

namespace {

// Reads a text in place and tells how much of it has been taken.
class TextReader final : public std::streambuf {
public:
    explicit TextReader(const std::string& text) {
        char* begin = const_cast<char*>(text.data());  // only ever read
        setg(begin, begin, begin + text.size());
    }
    std::size_t taken() const { return static_cast<std::size_t>(gptr() - eback()); }
};

// Locks the open folder against the other runs that use it, until its descriptor is closed.
bool lockFolder(const FileDescriptor& folder) {
    int r;
    while ((r = ::flock(folder.get(), LOCK_EX)) != 0 && errno == EINTR) {
    }
    return r == 0;
}

// Opens the folder dir; with `create`, the folders of it that are missing are made (mode 0700,
// and none put in place of one just made is followed). Sets *error to the errno on failure.
FileDescriptor openFolder(const fs::path& dir, bool create, int* error) {
    FileDescriptor fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    *error = fd.get() < 0 ? errno : 0;
    if (fd.get() >= 0 || *error != ENOENT || !create) return fd;
    FileDescriptor start(::open(dir.is_absolute() ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (start.get() < 0) {
        *error = errno;
        return start;
    }
    std::vector<std::string> levels;
    for (const auto& part : dir.relative_path())
        if (!part.empty()) levels.push_back(part.string());  // an empty part: a trailing separator
    auto opened = openFolderLevels(std::move(start), levels, 0700, /*followLinks=*/true);
    *error = opened.error;
    return opened.error ? FileDescriptor() : std::move(opened.folder);
}

std::string folderProblem(const fs::path& dir, int error) {
    if (error == ENOTDIR) return describe(folderFailure(dir, error));
    return "cannot open the folder " + dir.string() + ": " + std::strerror(error);
}

bool blank(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

}  // namespace

JsonFileDefaultsStore::JsonFileDefaultsStore(fs::path path) : path_(std::move(path)) {}

fs::path JsonFileDefaultsStore::folder() const { return path_.has_parent_path() ? path_.parent_path() : fs::path("."); }

std::pair<std::map<std::string, DefaultsValue>, bool> JsonFileDefaultsStore::parseRecovering(const std::string& text) {
    std::map<std::string, DefaultsValue> members;
    // Each top-level member is kept once it is known to be complete, so a file cut off or garbled
    // part-way still yields the members before the damage. A container or a string is complete at
    // its closing bracket or quote; a number or literal only once the next member or the closing
    // brace follows (a cut-off "1234" must not come back as 12).
    std::string currentKey;
    bool currentTooDeep = false;  // the member being read nests deeper than any setting would
    std::optional<std::pair<std::string, DefaultsValue>> pending;
    std::size_t pendingEnd = 0;  // how much of the text was taken when the pending value was read
    TextReader reader(text);
    std::istream in(&reader);
    bool topIsObject = false;
    auto commitPending = [&] {
        if (pending) members[pending->first] = std::move(pending->second);
        pending.reset();
    };
    using Event = nlohmann::json::parse_event_t;
    auto callback = [&](int depth, Event event, nlohmann::json& parsed) {
        if (depth == 0 && event == Event::object_start) topIsObject = true;
        if (!topIsObject) return true;
        // Deeper values are dropped as they are read, so nothing deep is ever built or copied.
        if (depth > static_cast<int>(kMaxJsonNesting)) {
            currentTooDeep = true;
            return false;
        }
        if (depth == 1 && event == Event::key) {
            commitPending();
            currentKey = parsed.get<std::string>();
            currentTooDeep = false;
        } else if (currentTooDeep && depth == 1) {
            return false;  // the whole member goes; the others stay
        } else if (depth == 1 && event == Event::value) {
            if (parsed.is_string())
                members[currentKey] = parsed;
            else {
                pending.emplace(currentKey, parsed);
                pendingEnd = reader.taken();
            }
        } else if (depth == 1 && (event == Event::object_end || event == Event::array_end)) {
            members[currentKey] = parsed;
        } else if (depth == 0 && event == Event::object_end) {
            commitPending();
        }
        return true;
    };
    auto whole = nlohmann::json::parse(in, callback, /*allow_exceptions=*/false);
    if (pending) {
        // A comma after it ends a number or literal as well: the reader took one character past a
        // number to see that it ended, none past a literal.
        std::size_t next = pendingEnd - (pending->second.is_number() ? 1 : 0);
        next = text.find_first_not_of(" \t\r\n", next);
        if (next != std::string::npos && text[next] == ',') commitPending();
    }
    const bool sound = !whole.is_discarded() && whole.is_object() && jsonNesting(text).deepest <= kMaxJsonNesting;
    if (sound) {
        members.clear();
        for (auto& [k, v] : whole.items()) members[k] = v;
    }
    return {std::move(members), sound};
}

void JsonFileDefaultsStore::removeStaleTemporaryFiles(int dirFd) const {
    // A save that never finished (the run was killed) leaves its temporary file behind. Only what
    // can be nothing else goes: a name of this file's temporary pattern, a regular file of this
    // user's with mode 0600 and no other link. The folder is locked, so no other run is writing one.
    const int listFd = ::dup(dirFd);
    DIR* listing = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!listing) {
        if (listFd >= 0) ::close(listFd);
        return;
    }
    const std::string target = name();
    const uid_t me = ::geteuid();
    while (const dirent* entry = ::readdir(listing)) {
        if (!isTemporaryNameFor(target, entry->d_name)) continue;
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISREG(st.st_mode) && st.st_uid == me && (st.st_mode & 07777) == 0600 && st.st_nlink == 1)
            ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(listing);
}

std::map<std::string, DefaultsValue> JsonFileDefaultsStore::load() {
    damaged_ = false;
    quarantined_.clear();
    problem_.reset();
    saved_.clear();
    if (!path_.has_filename()) {
        problem_ = path_.string() + " names a folder, not a file";
        return {};
    }
    int error = 0;
    const FileDescriptor dir = openFolder(folder(), /*create=*/false, &error);
    if (dir.get() < 0) {
        if (error != ENOENT) problem_ = folderProblem(folder(), error);
        return {};  // a missing folder is made by the first save
    }
    const bool locked = lockFolder(dir);
    auto file = readRegularFileAt(dir.get(), name(), kMaxJsonFileBytes);
    using Status = RegularFileRead::Status;
    if (file.status != Status::ok && file.status != Status::missing) {
        // Not ours to read, move or replace: the settings live in memory for the run.
        problem_ = path_.string() + " " + file.problem;
        return {};
    }
    if (locked) removeStaleTemporaryFiles(dir.get());
    if (file.status == Status::missing || blank(file.text)) return {};  // a fresh domain
    auto [members, sound] = parseRecovering(file.text);
    if (sound) {
        saved_ = members;
        return members;
    }
    damaged_ = true;
    if (auto why = quarantine(dir.get(), *file.identity)) {
        problem_ = std::move(why);
        return members;
    }
    // What could be read is written back at once, so the next start finds it too; the damaged
    // original stays beside it.
    if (!members.empty()) write(dir.get(), members);
    return members;
}

std::optional<std::string> JsonFileDefaultsStore::quarantine(int dirFd, const FileIdentity& identity) {
    // Only the file that was read is moved: if something else stands at the name by now, it stays,
    // and nothing is written over it either.
    const auto at = fileAtName(dirFd, name());
    if (!at || !at->isRegular() || !(at->identity == identity)) return path_.string() + " changed while it was read";
    constexpr int kCopies = 999;
    for (int n = 1; n <= kCopies; ++n) {
        const std::string copy = name() + ".unreadable" + (n == 1 ? "" : "-" + std::to_string(n));
        if (moveWithoutReplacing(dirFd, name(), copy)) {
            quarantined_ = path_;
            quarantined_.replace_filename(copy);
            return std::nullopt;
        }
        if (errno != EEXIST) return "cannot move " + path_.string() + " aside: " + std::strerror(errno);
    }
    return path_.string() + " is damaged and stays as it is: every name for a copy up to " + name() +
           ".unreadable-" + std::to_string(kCopies) + " is taken";
}

bool JsonFileDefaultsStore::failed(std::string why) {
    ++failedSaves_;
    if (!firstSaveFailure_) firstSaveFailure_ = std::move(why);
    return false;
}

bool JsonFileDefaultsStore::save(const std::map<std::string, DefaultsValue>& values) {
    if (problem_) return false;
    int error = 0;
    const FileDescriptor dir = openFolder(folder(), /*create=*/true, &error);
    if (dir.get() < 0) return failed(folderProblem(folder(), error));
    lockFolder(dir);
    return write(dir.get(), values);
}

bool JsonFileDefaultsStore::write(int dirFd, const std::map<std::string, DefaultsValue>& values) {
    // What the file holds now (another run may have saved since), with this run's changes on top.
    auto file = readRegularFileAt(dirFd, name(), kMaxJsonFileBytes);
    using Status = RegularFileRead::Status;
    std::map<std::string, DefaultsValue> merged;
    if (file.status == Status::ok && !blank(file.text)) {
        auto [members, sound] = parseRecovering(file.text);
        if (!sound)
            if (auto why = quarantine(dirFd, *file.identity)) return failed(std::move(*why));
        merged = std::move(members);
    } else if (file.status != Status::ok && file.status != Status::missing) {
        return failed(path_.string() + " " + file.problem);
    }
    for (const auto& [k, v] : saved_)
        if (!values.count(k)) merged.erase(k);
    for (const auto& [k, v] : values)
        if (auto it = saved_.find(k); it == saved_.end() || it->second != v) merged[k] = v;

    nlohmann::json doc = nlohmann::json::object();
    for (const auto& [k, v] : merged) doc[k] = v;
    // Text that is not valid UTF-8 is written with replacement characters rather than failing.
    const std::string text = doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    if (const int error = writeFileAtomicallyAt(dirFd, name(), text))
        return failed("cannot write " + path_.string() + ": " + std::strerror(error));
    saved_ = values;
    return true;
}

}  // namespace quillmar::platform
