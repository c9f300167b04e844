#include "platform/bundle_info.h"

#include <sys/utsname.h>

#include <cctype>
#include <memory>

#include "runtime/world.h"

namespace quillmar::platform {

namespace {
// Reads up to three leading dot-separated numbers of a release string such as "6.8.0-45-generic".
OperatingSystemVersion parseRelease(const char* text) {
    long long parts[3] = {0, 0, 0};
    int index = 0;
    for (const char* p = text; *p && index < 3; ++p) {
        if (std::isdigit(static_cast<unsigned char>(*p))) {
            long long v = 0;
            while (std::isdigit(static_cast<unsigned char>(*p)) && v < 1'000'000'000) {
                v = v * 10 + (*p - '0');
                ++p;
            }
            parts[index++] = v;
            if (*p != '.') break;
        } else {
            break;
        }
    }
    return {parts[0], parts[1], parts[2]};
}

class ExecutableBundleInfo final : public BundleInfo {
public:
    std::optional<DefaultsValue> infoValue(const std::string&) const override { return std::nullopt; }
    OperatingSystemVersion operatingSystemVersion() const override {
        utsname name{};
        if (uname(&name) != 0) return {};
        return parseRelease(name.release);
    }
};
}  // namespace

BundleInfo& BundleInfo::shared() {
    if (auto* installed = runtime::World::find<BundleInfo>()) return *installed;
    return runtime::World::install<BundleInfo>(std::make_unique<ExecutableBundleInfo>());
}

}  // namespace quillmar::platform
