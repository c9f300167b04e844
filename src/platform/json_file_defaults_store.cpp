#include "platform/json_file_defaults_store.h"

#include "platform/json_nesting.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
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

std::map<std::string, DefaultsValue> JsonFileDefaultsStore::load() {
    damaged_ = false;
    quarantined_.clear();
    std::error_code ec;
    // Temporary files of a save that never finished are ours and useless.
    const fs::path dir = path_.has_parent_path() ? path_.parent_path() : fs::path(".");
    const std::string tmpPrefix = path_.filename().string() + ".tmp-";
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().filename().string().rfind(tmpPrefix, 0) == 0) fs::remove(it->path(), ec);
    }
    ec.clear();
    if (!fs::exists(path_, ec)) return {};

    std::ifstream in(path_, std::ios::binary);
    std::string text;
    if (in) {
        std::ostringstream buffer;
        buffer << in.rdbuf();
        text = buffer.str();
    }
    if (!in) {
        // Present but unreadable: move it aside rather than overwrite it later.
        damaged_ = true;
        quarantine();
        return {};
    }
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) return {};  // empty: a fresh domain
    auto [members, sound] = parseRecovering(text);
    if (!sound) {
        damaged_ = true;
        quarantine();
        // What could be read is written back at once, so the next start finds it too; the
        // damaged original stays beside it.
        if (!members.empty()) save(members);
    }
    return members;
}

void JsonFileDefaultsStore::quarantine() {
    std::error_code ec;
    fs::path target = path_;
    target += ".unreadable";
    for (int n = 2; fs::exists(target, ec) && n < 1000; ++n) {
        target = path_;
        target += ".unreadable-" + std::to_string(n);
    }
    fs::rename(path_, target, ec);
    if (!ec) quarantined_ = target;
}

bool JsonFileDefaultsStore::save(const std::map<std::string, DefaultsValue>& values) {
    nlohmann::json doc = nlohmann::json::object();
    for (const auto& [k, v] : values) doc[k] = v;
    // Text that is not valid UTF-8 is written with replacement characters rather than failing.
    const std::string text = doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";

    std::error_code ec;
    const fs::path dir = path_.has_parent_path() ? path_.parent_path() : fs::path(".");
    fs::create_directories(dir, ec);
    std::string tmpl = (dir / (path_.filename().string() + ".tmp-XXXXXX")).string();
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) return false;
    bool ok = true;
    std::size_t written = 0;
    while (ok && written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ok = false;
        else written += static_cast<std::size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(tmpl.c_str(), path_.c_str()) == 0;
    if (!ok) {
        ::unlink(tmpl.c_str());
        return false;
    }
    // Make the rename itself durable.
    if (const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY); dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

}  // namespace quillmar::platform
