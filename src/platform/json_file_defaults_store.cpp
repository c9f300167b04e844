#include "platform/json_file_defaults_store.h"

#include "platform/json_nesting.h"
#include "platform/atomic_file.h"

#include <system_error>

namespace quillmar::platform {

namespace fs = std::filesystem;

JsonFileDefaultsStore::JsonFileDefaultsStore(fs::path path) : path_(std::move(path)) {}

std::pair<std::map<std::string, DefaultsValue>, bool> JsonFileDefaultsStore::parseRecovering(const std::string& text) {
    std::map<std::string, DefaultsValue> members;
    // Each top-level member is kept once it is known to be complete, so a file cut off or garbled
    // part-way still yields the members before the damage. A container or a string is complete at
    // its closing bracket or quote; a number or literal only once the next member or the closing
    // brace follows (a cut-off "1234" must not come back as 12).
    std::string currentKey;
    bool currentTooDeep = false;  // the member being read nests deeper than any setting would
    std::optional<std::pair<std::string, DefaultsValue>> pending;
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
            else
                pending.emplace(currentKey, parsed);
        } else if (depth == 1 && (event == Event::object_end || event == Event::array_end)) {
            members[currentKey] = parsed;
        } else if (depth == 0 && event == Event::object_end) {
            commitPending();
        }
        return true;
    };
    auto whole = nlohmann::json::parse(text, callback, /*allow_exceptions=*/false);
    const bool sound = !whole.is_discarded() && whole.is_object() && jsonNesting(text).deepest <= kMaxJsonNesting;
    if (sound) {
        members.clear();
        for (auto& [k, v] : whole.items()) members[k] = v;
    }
    return {std::move(members), sound};
}

void JsonFileDefaultsStore::removeStaleTemporaryFiles() const {
    // Temporary files of a save that never finished are ours and useless (see writeFileAtomically).
    std::error_code ec;
    const fs::path dir = path_.has_parent_path() ? path_.parent_path() : fs::path(".");
    const std::string prefix = path_.filename().string() + ".tmp-";
    constexpr std::size_t kSuffixLength = 6;  // mkstemp's XXXXXX
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != prefix.size() + kSuffixLength || name.rfind(prefix, 0) != 0) continue;
        if (auto at = fileAtName(it->path()); at && at->isRegular()) fs::remove(it->path(), ec);
        ec.clear();
    }
}

std::map<std::string, DefaultsValue> JsonFileDefaultsStore::load() {
    damaged_ = false;
    quarantined_.clear();
    problem_.reset();
    removeStaleTemporaryFiles();

    auto file = readRegularFile(path_, kMaxJsonFileBytes);
    using Status = RegularFileRead::Status;
    if (file.status == Status::missing) return {};  // a fresh domain
    if (file.status != Status::ok) {
        // Not ours to read, move or replace: the settings live in memory for the run.
        problem_ = path_.string() + " " + file.problem;
        return {};
    }
    const std::string& text = file.text;
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) return {};  // empty: a fresh domain
    auto [members, sound] = parseRecovering(text);
    if (!sound) {
        damaged_ = true;
        quarantine(*file.identity);
        // What could be read is written back at once, so the next start finds it too; the
        // damaged original stays beside it.
        if (!members.empty() && !problem_) save(members);
    }
    return members;
}

void JsonFileDefaultsStore::quarantine(const FileIdentity& identity) {
    // Only the file that was read is moved: if something else stands at the name by now, it stays,
    // and nothing is written over it either.
    const auto at = fileAtName(path_);
    if (!at || !at->isRegular() || !(at->identity == identity)) {
        problem_ = path_.string() + " changed while it was read";
        return;
    }
    std::error_code ec;
    fs::path target = path_;
    target += ".unreadable";
    for (int n = 2; fs::exists(fs::symlink_status(target, ec)) && n < 1000; ++n) {
        target = path_;
        target += ".unreadable-" + std::to_string(n);
    }
    fs::rename(path_, target, ec);
    if (!ec) quarantined_ = target;
}

bool JsonFileDefaultsStore::save(const std::map<std::string, DefaultsValue>& values) {
    if (problem_) return false;
    removeStaleTemporaryFiles();
    // Something other than a regular file that appeared at the name since is left alone too.
    if (auto at = fileAtName(path_); at && !at->isRegular()) return false;
    nlohmann::json doc = nlohmann::json::object();
    for (const auto& [k, v] : values) doc[k] = v;
    // Text that is not valid UTF-8 is written with replacement characters rather than failing.
    const std::string text = doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";

    std::error_code ec;
    const fs::path dir = path_.has_parent_path() ? path_.parent_path() : fs::path(".");
    fs::create_directories(dir, ec);
    return writeFileAtomically(path_, text);
}

}  // namespace quillmar::platform
