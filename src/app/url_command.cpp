#include "app/url_command.h"

#include <uriparser/Uri.h>

#include "runtime/text_case.h"

namespace quillmar {

namespace {

std::string range(const UriTextRangeA& r) {
    if (!r.first || !r.afterLast || r.afterLast < r.first) return {};
    return std::string(r.first, static_cast<std::size_t>(r.afterLast - r.first));
}

std::string percentDecoded(std::string text) {
    if (text.empty()) return text;
    // Decodes in place; "+" is left alone and line breaks are kept as they are.
    const char* end = uriUnescapeInPlaceExA(text.data(), URI_FALSE, URI_BR_DONT_TOUCH);
    text.resize(static_cast<std::size_t>(end - text.data()));
    return text;
}

struct ParsedUri {
    UriUriA uri{};
    bool ok = false;
    explicit ParsedUri(const std::string& text) {
        const char* errorPos = nullptr;
        ok = uriParseSingleUriA(&uri, text.c_str(), &errorPos) == URI_SUCCESS;
    }
    ~ParsedUri() {
        if (ok) uriFreeUriMembersA(&uri);
    }
    ParsedUri(const ParsedUri&) = delete;
    ParsedUri& operator=(const ParsedUri&) = delete;
};

}  // namespace

std::optional<UrlCommand> UrlCommand::parse(const std::string& url) {
    // Embedded NULs would end the text early for the parser: such a string is not a URL.
    if (url.find('\0') != std::string::npos) return std::nullopt;
    ParsedUri parsed(url);
    if (!parsed.ok) return std::nullopt;
    const UriUriA& uri = parsed.uri;
    UrlCommand out;
    out.scheme = range(uri.scheme);
    if (out.scheme.empty()) return std::nullopt;
    out.scheme = runtime::lowercased(out.scheme);
    out.command = runtime::lowercased(percentDecoded(range(uri.hostText)));

    std::string path;
    for (const UriPathSegmentA* seg = uri.pathHead; seg; seg = seg->next) {
        if (seg != uri.pathHead || uri.absolutePath || uri.hostText.first) path += '/';
        path += range(seg->text);
    }
    path = percentDecoded(path);
    const auto first = path.find_first_not_of('/');
    if (first == std::string::npos) {
        path.clear();
    } else {
        const auto last = path.find_last_not_of('/');
        path = path.substr(first, last - first + 1);
    }
    out.argument = runtime::lowercased(path);

    if (uri.query.first && uri.query.afterLast && uri.query.afterLast > uri.query.first) {
        UriQueryListA* list = nullptr;
        int count = 0;
        if (uriDissectQueryMallocExA(&list, &count, uri.query.first, uri.query.afterLast, URI_FALSE,
                                     URI_BR_DONT_TOUCH) == URI_SUCCESS) {
            for (const UriQueryListA* q = list; q; q = q->next) {
                std::optional<std::string> value;
                if (q->value) value = std::string(q->value);
                out.queryItems.emplace_back(q->key ? std::string(q->key) : std::string(), std::move(value));
            }
        }
        if (list) uriFreeQueryListA(list);
    }
    return out;
}

std::optional<std::string> UrlCommand::firstQueryValue(const std::string& name) const {
    for (const auto& [key, value] : queryItems)
        if (key == name) return value;
    return std::nullopt;
}

const char* UrlCommandOutcome::name(Effect effect) {
    switch (effect) {
        case Effect::ran: return "ran";
        case Effect::refusedUntrusted: return "refusedUntrustedSender";
        case Effect::unknownCommand: return "unknownCommand";
        case Effect::unknownArgument: return "unknownArgument";
        case Effect::notApplicable: return "notApplicable";
        case Effect::failed: return "failed";
        case Effect::malformed: return "malformed";
        case Effect::otherScheme: return "otherScheme";
        case Effect::beyondLimit: return "beyondLimit";
    }
    return "ran";
}

}  // namespace quillmar
