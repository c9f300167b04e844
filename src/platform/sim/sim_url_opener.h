#pragma once
// The simulated system's URL handling: every URL that forms is accepted and recorded (in order,
// and on the desktop's call log as "open url <url>"); nothing is launched.

#include <string>
#include <vector>

#include "platform/url_opener.h"

namespace quillmar::platform::sim {

class SimDesktop;

class SimUrlOpener final : public UrlOpener {
public:
    explicit SimUrlOpener(SimDesktop& desktop) : desktop_(desktop) {}

    // Puts a SimUrlOpener for desktop into the world as the UrlOpener.
    static SimUrlOpener& install(SimDesktop& desktop);

    bool openURL(const std::string& url) override;
    const std::vector<std::string>& openedUrls() const { return opened_; }

private:
    SimDesktop& desktop_;
    std::vector<std::string> opened_;
};

}  // namespace quillmar::platform::sim
