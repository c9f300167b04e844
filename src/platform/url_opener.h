#pragma once
// Opening a URL with the handler the system has for its scheme (a settings pane, a mail
// composer, a web page). The URL is handed to the system as data: nothing is ever run through a
// shell.
//
// UrlOpener::shared() returns the installed backend (World::install<UrlOpener>); without one
// nothing opens and every call answers false.

#include <string>
#include <string_view>

namespace quillmar::platform {

class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    static UrlOpener& shared();

    // True when url formed and the system accepted to open it.
    virtual bool openURL(const std::string& url) = 0;

    // Whether text forms an absolute URL: a scheme (a letter, then letters, digits, "+", "-" or
    // "."), a colon, and only characters allowed in a URL after it (no spaces or control
    // characters; "%" only as the start of a two-digit hex escape).
    static bool isWellFormed(std::string_view text);
};

}  // namespace quillmar::platform
