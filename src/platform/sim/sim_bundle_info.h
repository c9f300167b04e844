#pragma once
// The simulated app bundle: an info dictionary the scene can edit (or remove) and the version of
// the simulated operating system.

#include <map>
#include <optional>
#include <string>

#include "platform/bundle_info.h"

namespace quillmar::platform::sim {

class SimBundleInfo final : public BundleInfo {
public:
    // Installs a fresh simulated bundle as the world's BundleInfo.
    static SimBundleInfo& install();

    std::optional<DefaultsValue> infoValue(const std::string& key) const override;
    OperatingSystemVersion operatingSystemVersion() const override { return osVersion_; }

    void setInfoValue(const std::string& key, DefaultsValue value) {
        if (!info_) info_.emplace();
        (*info_)[key] = std::move(value);
    }
    void removeInfoValue(const std::string& key) {
        if (info_) info_->erase(key);
    }
    // A bundle without an info dictionary.
    void removeInfoDictionary() { info_.reset(); }
    void setOperatingSystemVersion(OperatingSystemVersion v) { osVersion_ = v; }

private:
    std::optional<std::map<std::string, DefaultsValue>> info_ = std::map<std::string, DefaultsValue>{
        {"CFBundleIdentifier", "app.quillmar.Quillmar"},
        {"CFBundleName", "Quillmar"},
        {"CFBundleShortVersionString", "1.0"},
        {"CFBundleVersion", "1"},
    };
    OperatingSystemVersion osVersion_{14, 5, 0};
};

}  // namespace quillmar::platform::sim
