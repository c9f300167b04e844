#pragma once
// The simulated user's language preferences. The localisation matcher is the platform's own
// unless the scene scripts its answer (to reproduce what a particular system returns).

#include <optional>
#include <string>
#include <vector>

#include "platform/preferred_languages.h"

namespace quillmar::platform::sim {

class SimPreferredLanguages final : public PreferredLanguages {
public:
    // Installs a fresh simulated preference list as the world's PreferredLanguages.
    static SimPreferredLanguages& install(std::vector<std::string> languages = {"en-US"});

    explicit SimPreferredLanguages(std::vector<std::string> languages = {"en-US"})
        : languages_(std::move(languages)) {}

    std::vector<std::string> preferredLanguages() const override { return languages_; }
    std::vector<std::string> preferredLocalizations(const std::vector<std::string>& available,
                                                    const std::vector<std::string>& preferences) const override {
        if (scriptedAnswer_) return *scriptedAnswer_;
        return PreferredLanguages::preferredLocalizations(available, preferences);
    }

    void setPreferredLanguages(std::vector<std::string> languages) { languages_ = std::move(languages); }
    // Every matcher call answers `answer`; nullopt restores the platform's matching.
    void scriptMatcherAnswer(std::optional<std::vector<std::string>> answer) { scriptedAnswer_ = std::move(answer); }

private:
    std::vector<std::string> languages_;
    std::optional<std::vector<std::string>> scriptedAnswer_;
};

}  // namespace quillmar::platform::sim
