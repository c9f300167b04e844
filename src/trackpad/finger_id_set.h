#pragma once
// The identities of the fingers of one contact frame, compared as a whole to notice a finger
// that was added, lifted or re-identified. Identifiers 0...63 are kept as bits; any other
// identifier is folded into a wrapping sum of mixed values, so the set does not depend on the
// order of the touches. A repeated identifier counts twice.

#include <cstdint>

namespace quillmar {

struct FingerIDSet {
    std::uint64_t lowMask = 0;
    std::uint64_t overflowHash = 0;
    int count = 0;

    void insert(std::int32_t identifier) {
        const auto unsignedID = static_cast<std::uint32_t>(identifier);
        if (unsignedID <= 63) {
            lowMask |= std::uint64_t{1} << unsignedID;
        } else {
            overflowHash += mix(identifier);
        }
        ++count;
    }

    // A 64-bit mix of the sign-extended identifier (all arithmetic wraps).
    static constexpr std::uint64_t mix(std::int32_t identifier) {
        auto h = static_cast<std::uint64_t>(static_cast<std::int64_t>(identifier));
        h *= 0x9e3779b97f4a7c15ULL;
        h = (h ^ (h >> 30)) * 0xbf58476d1ce4e5b9ULL;
        return h;
    }

    bool operator==(const FingerIDSet&) const = default;
};

}  // namespace quillmar
