#include "platform/sim/picture_index.h"

#include <unistd.h>

#include <array>

namespace quillmar::platform::sim {

std::optional<PixelSize> pngPixelSize(int fd) {
    std::array<unsigned char, 24> head{};
    if (::pread(fd, head.data(), head.size(), 0) != static_cast<ssize_t>(head.size())) return std::nullopt;
    static constexpr std::array<unsigned char, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    for (std::size_t i = 0; i < kSignature.size(); ++i)
        if (head[i] != kSignature[i]) return std::nullopt;
    // The header chunk always comes first.
    if (head[12] != 'I' || head[13] != 'H' || head[14] != 'D' || head[15] != 'R') return std::nullopt;
    auto big = [&](std::size_t at) {
        return (std::uint32_t{head[at]} << 24) | (std::uint32_t{head[at + 1]} << 16) |
               (std::uint32_t{head[at + 2]} << 8) | std::uint32_t{head[at + 3]};
    };
    return PixelSize{big(16), big(20)};
}

}  // namespace quillmar::platform::sim
