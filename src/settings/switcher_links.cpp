#include "settings/switcher_links.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

#include "platform/bundle_info.h"

namespace quillmar {

namespace {

// Length of the white-space or line-break character at the start of s (0 when there is none).
// Besides ASCII, the Unicode spaces and line separators a pasted version string may carry.
std::size_t leadingSpace(std::string_view s) {
    if (s.empty()) return 0;
    const unsigned char c = static_cast<unsigned char>(s[0]);
    if (c == ' ' || (c >= '\t' && c <= '\r')) return 1;
    static constexpr std::string_view wide[] = {
        "\u0085", "\u00A0", "\u1680", "\u2000", "\u2001", "\u2002", "\u2003", "\u2004", "\u2005", "\u2006",
        "\u2007", "\u2008", "\u2009", "\u200A", "\u2028", "\u2029", "\u202F", "\u205F", "\u3000",
    };
    for (auto w : wide)
        if (s.starts_with(w)) return w.size();
    return 0;
}

std::size_t trailingSpace(std::string_view s) {
    if (s.empty()) return 0;
    const unsigned char c = static_cast<unsigned char>(s.back());
    if (c == ' ' || (c >= '\t' && c <= '\r')) return 1;
    for (std::size_t n = 2; n <= 3 && n <= s.size(); ++n)
        if (leadingSpace(s.substr(s.size() - n)) == n) return n;
    return 0;
}

std::string_view trim(std::string_view s) {
    while (std::size_t n = leadingSpace(s)) s.remove_prefix(n);
    while (std::size_t n = trailingSpace(s)) s.remove_suffix(n);
    return s;
}

// ASCII digits only, at least one, within a signed 64-bit integer.
std::optional<std::int64_t> decimal(std::string_view s) {
    if (s.empty()) return std::nullopt;
    for (char c : s)
        if (c < '0' || c > '9') return std::nullopt;
    std::int64_t v = 0;
    auto [end, err] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (err != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

// Percent-encodes everything a query value may not carry literally: besides the unreserved
// characters, only sub-delimiters that do not separate query items stay as they are.
std::string encodeQueryValue(std::string_view s) {
    static constexpr std::string_view keep = "-._~!$'()*,;:@/?";
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (alnum || keep.find(ch) != std::string_view::npos) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 0xF]);
        }
    }
    return out;
}

// An address usable as the path of a mail link: a local part and a domain of printable,
// unreserved characters.
bool isPlainAddress(std::string_view a) {
    const auto at = a.find('@');
    if (at == 0 || at == std::string_view::npos || at + 1 >= a.size()) return false;
    for (char ch : a) {
        const unsigned char c = static_cast<unsigned char>(ch);
        const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alnum && std::string_view("-._~+@").find(ch) == std::string_view::npos) return false;
    }
    return true;
}

}  // namespace

std::string SwitcherLinks::normalizeDisplayVersion(std::string_view version) {
    const std::string_view trimmed = trim(version);
    if (trimmed.empty()) return "1.0";

    // Drop pre-release and build suffixes: the first non-empty piece between "-" and "+".
    std::string_view core = trimmed;
    for (std::size_t start = 0; start <= trimmed.size();) {
        const std::size_t end = std::min(trimmed.find_first_of("-+", start), trimmed.size());
        if (end > start) {
            core = trimmed.substr(start, end - start);
            break;
        }
        start = end + 1;
    }

    const std::size_t dot = core.find('.');
    const auto major = decimal(core.substr(0, dot));
    if (!major) return "1.0";
    const std::string majorText = std::to_string(*major);
    if (dot == std::string_view::npos) return majorText + ".0";

    std::string_view minorPiece = core.substr(dot + 1);
    minorPiece = minorPiece.substr(0, minorPiece.find('.'));
    const auto minor = decimal(minorPiece);
    if (!minor) return majorText + ".0";
    if (*minor < 10) return majorText + "." + std::to_string(*minor);
    return majorText + "." + std::string(1, minorPiece.front());
}

std::string SwitcherLinks::displayAppVersion() {
    auto value = platform::BundleInfo::shared().infoValue("CFBundleShortVersionString");
    const std::string raw = value && value->is_string() ? value->get<std::string>() : std::string("1.0");
    return normalizeDisplayVersion(raw);
}

std::optional<std::string> SwitcherLinks::feedbackMailtoURL() {
    if (!isPlainAddress(supportEmail)) return std::nullopt;
    const auto os = platform::BundleInfo::shared().operatingSystemVersion();
    const std::string system =
        "macOS " + std::to_string(os.major) + "." + std::to_string(os.minor) + "." + std::to_string(os.patch);
    const std::string subject = "Quillmar v" + displayAppVersion() + " Feedback (" + system + ")";
    return "mailto:" + std::string(supportEmail) + "?subject=" + encodeQueryValue(subject);
}

}  // namespace quillmar
