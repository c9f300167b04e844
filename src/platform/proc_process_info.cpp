#include "platform/proc_process_info.h"

#include <unistd.h>

#include <charconv>
#include <fstream>
#include <limits>
#include <string>

namespace quillmar::platform {

namespace {
constexpr std::size_t kPathBufferSize = 4096;
constexpr std::size_t kStatLineLimit = 4096;
}  // namespace

std::int32_t ProcProcessInfo::processIdentifier() const { return static_cast<std::int32_t>(::getpid()); }

std::optional<std::string> ProcProcessInfo::processPath(std::int32_t pid) const {
    if (pid < 1) return std::nullopt;
    const auto link = root_ / std::to_string(pid) / "exe";
    char buffer[kPathBufferSize];
    const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer);
    // A result that fills the buffer may have been cut short.
    if (n < 1 || static_cast<std::size_t>(n) >= sizeof buffer) return std::nullopt;
    return std::string(buffer, static_cast<std::size_t>(n));
}

std::optional<std::int32_t> ProcProcessInfo::parentProcessIdentifier(std::int32_t pid) const {
    if (pid < 1) return std::nullopt;
    std::ifstream in(root_ / std::to_string(pid) / "stat", std::ios::binary);
    if (!in) return std::nullopt;
    std::string line(kStatLineLimit, '\0');
    in.read(line.data(), static_cast<std::streamsize>(line.size()));
    line.resize(static_cast<std::size_t>(in.gcount()));
    return parentFromStatLine(line);
}

std::optional<std::int32_t> ProcProcessInfo::parentFromStatLine(std::string_view line) {
    // "<pid> (<comm>) <state> <ppid> ..."; comm may contain anything, including ") ".
    const auto close = line.rfind(')');
    if (close == std::string_view::npos) return std::nullopt;
    std::string_view rest = line.substr(close + 1);
    auto skipSpaces = [&rest] {
        while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    };
    skipSpaces();
    // The one-letter state.
    if (rest.empty() || rest.front() == ' ') return std::nullopt;
    while (!rest.empty() && rest.front() != ' ') rest.remove_prefix(1);
    skipSpaces();
    std::int64_t parent = -1;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), parent);
    if (ec != std::errc{} || end == rest.data()) return std::nullopt;
    if (end != rest.data() + rest.size() && *end != ' ' && *end != '\n') return std::nullopt;
    if (parent < 0 || parent > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(parent);
}

}  // namespace quillmar::platform
