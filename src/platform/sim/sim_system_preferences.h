#pragma once
// The simulated system preference domains: values by domain and key, set by the scene (for
// instance "TrackpadThreeFingerDrag" in "com.apple.AppleMultitouchTrackpad").

#include <atomic>
#include <map>
#include <string>

#include "platform/system_preferences.h"

namespace quillmar::platform::sim {

class SimSystemPreferences final : public SystemPreferences {
public:
    // Installs fresh, empty simulated domains as the world's SystemPreferences.
    static SimSystemPreferences& install();

    std::optional<DefaultsValue> copyAppValue(const std::string& key, const std::string& domain) const override;

    void setValue(const std::string& domain, const std::string& key, DefaultsValue value) {
        domains_[domain][key] = std::move(value);
    }
    void removeValue(const std::string& domain, const std::string& key);
    int readCount() const { return readCount_; }

private:
    std::map<std::string, std::map<std::string, DefaultsValue>> domains_;
    mutable std::atomic<int> readCount_ = 0;
};

}  // namespace quillmar::platform::sim
