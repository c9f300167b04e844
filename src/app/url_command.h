#pragma once
// One "quillmar" URL taken apart for the command grammar, with an RFC 3986 parser (uriparser):
// the command is the host (without user info or port), the argument the path without its leading
// and trailing slashes, both percent-decoded first and then lower-cased (full Unicode); the query
// is split into items at "&" and each item at its first "=", names and values percent-decoded, an
// item without "=" having no value ("+" stays a plus sign).

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillmar {

struct UrlCommand {
    std::string scheme;    // lower-cased
    std::string command;   // empty when the URL has no host
    std::string argument;
    std::vector<std::pair<std::string, std::optional<std::string>>> queryItems;

    // nullopt when the text is not a URL with a scheme.
    static std::optional<UrlCommand> parse(const std::string& url);

    // The value of the first query item with this exact name: nullopt when there is no such item
    // or it has no value (an item "tab=" has the empty value).
    std::optional<std::string> firstQueryValue(const std::string& name) const;
};

// What became of one URL of a delivery.
struct UrlCommandOutcome {
    enum class Effect {
        ran,                // the command ran
        refusedUntrusted,   // the command needs a trusted sender
        unknownCommand,     // no such command: nothing changed
        unknownArgument,    // the command does not take this argument: nothing changed
        notApplicable,      // known, but nothing to do now (the dump outside QA mode)
        failed,             // the command ran but its file could not be written (the dump)
        malformed,          // not a URL with a scheme
        otherScheme,        // a URL of another scheme: skipped
        beyondLimit,        // after the first four URLs of a delivery: skipped
    };

    std::string url;
    std::string command;
    std::string argument;
    bool trusted = false;
    Effect effect = Effect::ran;

    static const char* name(Effect effect);
};

}  // namespace quillmar
