#pragma once
// The version text shown to the user and the feedback mail link.
//
//   SwitcherLinks::displayAppVersion()       -> "2.5" for a bundle version "2.5.3"
//   SwitcherLinks::feedbackMailtoURL()       -> "mailto:support@quillmar.app?subject=Quillmar%20v2.5%20..."
//
// Both are computed afresh on every call. Main thread.

#include <optional>
#include <string>
#include <string_view>

namespace quillmar {

class SwitcherLinks {
public:
    SwitcherLinks() = delete;

    static constexpr std::string_view supportEmail = "support@quillmar.app";

    // The bundle's short version string (or "1.0" when it has none, or not as text), normalised.
    static std::string displayAppVersion();

    // A major number, a point and a one-digit minor number:
    //   "2.5.3" -> "2.5", "1.12" -> "1.1", "3.05" -> "3.5", "02.07" -> "2.7", "2" -> "2.0",
    //   "2.5-beta" -> "2.5", "1.4+build7" -> "1.4"; no readable major ("v2.5", ".5", "") -> "1.0".
    static std::string normalizeDisplayVersion(std::string_view version);

    // A mail link to supportEmail with the subject
    //   "Quillmar v" + displayAppVersion() + " Feedback (macOS " + major.minor.patch + ")",
    // percent-encoded as a query value. nullopt when no valid link can be formed.
    static std::optional<std::string> feedbackMailtoURL();
};

}  // namespace quillmar
