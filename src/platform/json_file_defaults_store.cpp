#include "platform/json_file_defaults_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <streambuf>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/compact_json.h"
#include "platform/folder_writer.h"
#include "platform/json_nesting.h"

namespace quillmar::platform {

namespace fs = std::filesystem;

namespace {

// Reads a text in place from an offset, after a '{' that is not in it when asked (the members
// after one that was dropped are read as an object of their own), and can be cut short.
class TextReader final : public std::streambuf {
public:
    TextReader(const std::string& text, std::size_t from, bool openBrace) : text_(text), from_(from) {
        if (openBrace)
            setg(&brace_, &brace_, &brace_ + 1);
        else
            enterText();
    }
    // The offset in the text of the next byte to be read.
    std::size_t position() const { return inText_ ? static_cast<std::size_t>(gptr() - eback()) : from_; }
    // Reading ends here, as if the text did.
    void stop() {
        stopped_ = true;
        setg(eback(), gptr(), gptr());
    }
    bool stopped() const { return stopped_; }

protected:
    int_type underflow() override {
        if (inText_ || stopped_) return traits_type::eof();
        enterText();
        return gptr() < egptr() ? traits_type::to_int_type(*gptr()) : traits_type::eof();
    }

private:
    void enterText() {
        char* begin = const_cast<char*>(text_.data());  // only ever read
        setg(begin, begin + from_, begin + text_.size());
        inText_ = true;
    }

    const std::string& text_;
    std::size_t from_;
    char brace_ = '{';
    bool inText_ = false;
    bool stopped_ = false;
};

// How reading the members of an object text from some offset ended.
struct MembersRead {
    bool whole = false;  // the text was read to its end, a sound object
    // Where reading stopped inside a member that it skips: a container nested too deep to build,
    // or a number too large for a double; the containers open there, and where the member's
    // value starts.
    std::size_t skipAt = std::string::npos;
    bool tooDeep = false;
    std::size_t openThere = 0;
    std::string key;
    std::size_t valueStart = 0;
};

bool isNumberByte(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E'; }

// Whether text is a JSON number too large for a double ("1e400", "-2E+999").
bool isNumberOutOfRange(std::string_view text) {
    std::size_t i = text.starts_with('-') ? 1 : 0;
    auto digits = [&] {
        const std::size_t from = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        return i - from;
    };
    const std::size_t intStart = i;
    const std::size_t intDigits = digits();
    if (intDigits == 0 || (intDigits > 1 && text[intStart] == '0')) return false;
    if (i < text.size() && text[i] == '.' && (++i, digits() == 0)) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() == 0) return false;
    }
    if (i != text.size()) return false;
    return std::isinf(std::strtod(std::string(text).c_str(), nullptr));
}

// Whether text is one JSON value once numbers too large for a double count as numbers, and
// nests no deeper than a setting may.
bool soundWithNumbersOutOfRange(std::string_view text) {
    if (jsonNesting(text).firstTooDeep != std::string_view::npos) return false;
    std::string tamed;
    tamed.reserve(text.size());
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            tamed += c;
            if (c == '\\' && i + 1 < text.size()) tamed += text[++i];
            else if (c == '"') inString = false;
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            std::size_t end = i;
            while (end < text.size() && isNumberByte(text[end])) ++end;
            const std::string_view number = text.substr(i, end - i);
            tamed += isNumberOutOfRange(number) ? std::string_view("0") : number;
            i = end - 1;
        } else {
            inString = c == '"';
            tamed += c;
        }
    }
    return nlohmann::json::accept(tamed);
}

// Reads the members of the object text (from `from`, after a '{' that is not in it when
// openBrace) into members, each with its text: the key as written compactly and the value as the
// text spells it. Each top-level member is kept once it is known to be complete, so a file cut
// off or garbled part-way still yields the members before the damage. A container or a string is
// complete at its closing bracket or quote; a number or literal only once the next member or the
// closing brace follows (a cut-off "1234" must not come back as 12). Reading stops at a top level
// that is no object, at a container nested deeper than any setting would (so nothing deep is
// ever built) and at a number too large for a double.
MembersRead readMembers(const std::string& text, std::size_t from, bool openBrace,
                        std::map<std::string, DefaultsValue>& values, std::map<std::string, std::string>& texts) {
    MembersRead result;
    std::string currentKey;
    bool haveKey = false;
    std::size_t valueStart = 0;
    std::size_t open = 0;  // containers open, the top-level object included
    std::optional<std::pair<std::string, DefaultsValue>> pending;
    std::size_t pendingStart = 0, pendingEnd = 0;  // the pending value's text
    TextReader reader(text, from, openBrace);
    std::istream in(&reader);
    auto keep = [&](const std::string& key, DefaultsValue value, std::size_t start, std::size_t end) {
        values[key] = std::move(value);
        texts[key] = jsonMemberText(key, std::string_view(text).substr(start, end - start));
    };
    auto commitPending = [&] {
        if (pending) keep(pending->first, std::move(pending->second), pendingStart, pendingEnd);
        pending.reset();
    };
    using Event = nlohmann::json::parse_event_t;
    auto callback = [&](int depth, Event event, nlohmann::json& parsed) {
        const bool opens = event == Event::object_start || event == Event::array_start;
        if ((depth == 0 && (event == Event::array_start || event == Event::value)) ||
            (opens && depth >= static_cast<int>(kMaxJsonNesting))) {
            if (depth > 0) {
                result.skipAt = reader.position();
                result.tooDeep = true;
                result.openThere = static_cast<std::size_t>(depth) + 1;
                result.key = currentKey;
                result.valueStart = valueStart;
            }
            reader.stop();
            return false;
        }
        if (opens) ++open;
        if (event == Event::object_end || event == Event::array_end) --open;
        // A member read whole moves to members and out of the document.
        if (depth == 1 && event == Event::key) {
            commitPending();
            currentKey = parsed.get<std::string>();
            haveKey = true;
            // The key's closing quote was the last byte read; then come the colon and the value.
            const std::size_t colon = text.find_first_not_of(" \t\r\n", reader.position());
            valueStart = colon == std::string::npos ? text.size() : text.find_first_not_of(" \t\r\n", colon + 1);
            if (valueStart == std::string::npos) valueStart = text.size();
        } else if (depth == 1 && event == Event::value) {
            if (parsed.is_string()) {
                keep(currentKey, std::move(parsed), valueStart, reader.position());
            } else {
                // The reader took one byte past a number to see that it ended, none past a literal.
                pending.emplace(currentKey, std::move(parsed));
                pendingStart = valueStart;
                pendingEnd = reader.position() - (pending->second.is_number() ? 1 : 0);
            }
            return false;
        } else if (depth == 1 && (event == Event::object_end || event == Event::array_end)) {
            keep(currentKey, std::move(parsed), valueStart, reader.position());
            return false;
        } else if (depth == 0 && event == Event::object_end) {
            commitPending();
        }
        return true;
    };
    const auto whole = nlohmann::json::parse(in, callback, /*allow_exceptions=*/false);
    if (pending) {
        // A comma after it ends a number or literal as well.
        const std::size_t next = text.find_first_not_of(" \t\r\n", pendingEnd);
        if (next != std::string::npos && text[next] == ',') commitPending();
    }
    result.whole = !reader.stopped() && !whole.is_discarded() && whole.is_object();
    if (!result.whole && !reader.stopped() && open >= 1 && haveKey) {
        // A number too large for a double ends the parse where it ends: the byte after it was read.
        std::size_t end = std::min(reader.position(), text.size());
        if (end > 0 && !isNumberByte(text[end - 1])) --end;
        std::size_t start = end;
        while (start > 0 && isNumberByte(text[start - 1])) --start;
        if (start >= valueStart && start < end && isNumberOutOfRange(std::string_view(text).substr(start, end - start))) {
            result.skipAt = end;
            result.openThere = open;
            result.key = currentKey;
            result.valueStart = valueStart;
        }
    }
    return result;
}

// Opens the folder dir; with `create`, the folders of it that are missing are made (mode 0700,
// and none put in place of one just made is followed). Sets *error to the errno on failure.
FileDescriptor openFolder(const fs::path& dir, bool create, int* error) {
    FileDescriptor fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // A folder that may be written but not listed: a descriptor that only names it does.
    if (fd.get() < 0 && errno == EACCES) fd.reset(::open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
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

template <typename Stamp>
Stamp stampOf(const struct stat& st) {
    return Stamp{{st.st_dev, st.st_ino}, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

// What stands at `name` now, when it is a regular file.
template <typename Stamp>
std::optional<Stamp> stampAt(int dirFd, const std::string& name) {
    struct stat st {};
    if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return stampOf<Stamp>(st);
}

bool blank(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

}  // namespace

JsonFileDefaultsStore::JsonFileDefaultsStore(fs::path path, LockWait lockWait)
    : path_(std::move(path)), lock_(std::move(lockWait)) {}

fs::path JsonFileDefaultsStore::folder() const { return path_.has_parent_path() ? path_.parent_path() : fs::path("."); }

JsonFileDefaultsStore::Recovered JsonFileDefaultsStore::parseRecovering(const std::string& text) {
    Recovered members;
    std::map<std::string, std::string> texts;
    auto read = readMembers(text, 0, /*openBrace=*/false, members.values, texts);
    bool damaged = false;
    // A member nested too deep goes; one that holds a number too large for a double reads as
    // absent and keeps its text. The members after either are read on their own.
    while (read.skipAt != std::string::npos) {
        const std::size_t end =
            read.openThere <= 1 ? read.skipAt : jsonNestingReturn(text, read.skipAt, read.openThere, 1);
        if (end == std::string::npos) break;
        if (read.tooDeep) {
            damaged = true;
        } else {
            const std::string_view value = std::string_view(text).substr(read.valueStart, end - read.valueStart);
            if (!soundWithNumbersOutOfRange(value)) break;
            members.values.erase(read.key);
            texts[read.key] = jsonMemberText(read.key, value);
        }
        const std::size_t next = text.find_first_not_of(" \t\r\n", end);
        if (next == std::string::npos || (text[next] != ',' && text[next] != '}')) {
            read = {};
            break;
        }
        read = readMembers(text, text[next] == ',' ? next + 1 : next, /*openBrace=*/true, members.values, texts);
    }
    members.sound = read.whole && !damaged;
    members.texts.reserve(texts.size());
    for (auto& member : texts) members.texts.emplace_back(member.first, std::move(member.second));
    return members;
}

void JsonFileDefaultsStore::removeStaleTemporaryFiles(int dirFd) const {
    // A save that never finished (the run was killed) leaves its temporary file behind. Only what
    // can be nothing else goes: a name of this file's temporary pattern, a regular file of this
    // user's with mode 0600 and no other link. The file is locked, so no other run is writing one. A
    // folder that may be written but not listed is not cleared.
    const int listFd = ::dup(dirFd);
    DIR* listing = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!listing) {
        if (listFd >= 0) ::close(listFd);
        return;
    }
    const std::string target = name();
    const uid_t me = ::geteuid();
    while (const dirent* entry = ::readdir(listing)) {
        if (!isTemporaryNameFor(dirFd, target, entry->d_name)) continue;
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISREG(st.st_mode) && st.st_uid == me && (st.st_mode & 07777) == 0600 && st.st_nlink == 1)
            ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(listing);
}

FileDescriptor JsonFileDefaultsStore::lock(int dirFd) {
    std::string why;
    FileDescriptor fd = lock_.take(dirFd, name(), path_.parent_path(), &why);
    if (fd.get() < 0) lockProblem_ = std::move(why);
    return fd;
}

std::map<std::string, DefaultsValue> JsonFileDefaultsStore::load() {
    damaged_ = false;
    quarantined_.clear();
    problem_.reset();
    lockProblem_.reset();
    forgetFile();
    pending_.clear();
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
    // Not ours to read, move or replace (and no lock is made beside it): the settings live in
    // memory for the run.
    if (const auto at = fileAtName(dir.get(), name()); at && !at->isRegular()) {
        problem_ = path_.string() + " is " + fileKindName(at->mode) + ", not a regular file";
        return {};
    }
    const FileDescriptor locked = lock(dir.get());
    if (lockProblem_ && !firstSaveFailure_) firstSaveFailure_ = lockProblem_;
    FileDescriptor read;
    auto file = readRegularFileAt(dir.get(), name(), kMaxJsonFileBytes, &read);
    using Status = RegularFileRead::Status;
    if (file.status != Status::ok && file.status != Status::missing) {
        problem_ = path_.string() + " " + file.problem;
        return {};
    }
    if (locked.get() >= 0) removeStaleTemporaryFiles(dir.get());
    if (file.status == Status::missing || blank(file.text)) return {};  // a fresh domain
    auto members = parseRecovering(file.text);
    if (members.sound) {
        if (rememberFile(std::move(read)) && stamp_->size != static_cast<off_t>(file.text.size())) forgetFile();
        onDisk_ = std::move(members.texts);
        return std::move(members.values);
    }
    damaged_ = true;
    if (locked.get() < 0) return std::move(members.values);  // moved aside and written back only under the lock
    if (auto why = quarantine(dir.get(), *file.identity)) {
        problem_ = std::move(why);
        return std::move(members.values);
    }
    // What could be read is written back at once, so the next start finds it too; the damaged
    // original stays beside it.
    if (!members.texts.empty()) {
        for (const auto& [key, value] : members.values) pending_.insert(key);
        put(dir.get(), std::move(members.texts));
    }
    return std::move(members.values);
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

bool JsonFileDefaultsStore::save(const std::map<std::string, DefaultsValue>& values,
                                 const std::vector<std::string>& changed) {
    pending_.insert(changed.begin(), changed.end());
    if (problem_) return failed(*problem_);
    if (lockProblem_) return failed(*lockProblem_);  // said once; never waited for again
    int error = 0;
    const FileDescriptor dir = openFolder(folder(), /*create=*/true, &error);
    if (dir.get() < 0) return failed(folderProblem(folder(), error));
    const FileDescriptor locked = lock(dir.get());
    if (lockProblem_) return failed(*lockProblem_);
    return write(dir.get(), values);
}

bool JsonFileDefaultsStore::rememberFile(FileDescriptor file) {
    struct stat st {};
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0) {
        forgetFile();
        return false;
    }
    lastFile_ = std::move(file);
    stamp_ = stampOf<Stamp>(st);
    return true;
}

void JsonFileDefaultsStore::forgetFile() {
    onDisk_.clear();
    stamp_.reset();
    lastFile_.reset();
}

bool JsonFileDefaultsStore::write(int dirFd, const std::map<std::string, DefaultsValue>& values) {
    // What the file holds now (another run may have saved since), with this run's changes on top.
    // The file this run last read or wrote is still open, so no other file can have its inode:
    // the same inode, size and times at the name are that file, unchanged.
    JsonMemberTexts merged;
    if (stamp_ && stampAt<Stamp>(dirFd, name()) == stamp_) {
        merged = std::move(onDisk_);
    } else {
        auto file = readRegularFileAt(dirFd, name(), kMaxJsonFileBytes);
        using Status = RegularFileRead::Status;
        if (file.status == Status::ok && !blank(file.text)) {
            auto members = parseRecovering(file.text);
            if (!members.sound)
                if (auto why = quarantine(dirFd, *file.identity)) return failed(std::move(*why));
            merged = std::move(members.texts);
        } else if (file.status != Status::ok && file.status != Status::missing) {
            return failed(path_.string() + " " + file.problem);
        }
    }
    forgetFile();
    for (const auto& key : pending_) {
        auto at = std::lower_bound(merged.begin(), merged.end(), key,
                                   [](const auto& member, const std::string& k) { return member.first < k; });
        const bool there = at != merged.end() && at->first == key;
        if (auto it = values.find(key); it == values.end()) {
            if (there) merged.erase(at);
        } else if (there) {
            at->second = compactJsonMember(key, it->second);
        } else {
            merged.emplace(at, key, compactJsonMember(key, it->second));
        }
    }
    return put(dirFd, std::move(merged));
}

bool JsonFileDefaultsStore::put(int dirFd, JsonMemberTexts memberTexts) {
    const std::string text = jsonObjectText(memberTexts);
    // A file the reader would refuse is never put in place of one it takes.
    if (text.size() > kMaxJsonFileBytes)
        return failed("cannot write " + path_.string() + ": the settings take " + std::to_string(text.size()) +
                      " bytes; a settings file holds at most " + std::to_string(kMaxJsonFileBytes));
    FileDescriptor written;
    if (const int error = writeFileAtomicallyAt(dirFd, name(), text, 0600, &written))
        return failed("cannot write " + path_.string() + ": " + std::strerror(error));
    rememberFile(std::move(written));
    onDisk_ = std::move(memberTexts);
    pending_.clear();
    return true;
}

}  // namespace quillmar::platform
