#include "platform/json_object_members.h"

#include <algorithm>

#include <unicode/utf8.h>

#include "platform/compact_json.h"
#include "platform/json_nesting.h"

namespace quillmar::platform {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A pass over a JSON text, a byte at a time, that checks what it passes and builds nothing.
class Scanner {
public:
    explicit Scanner(std::string_view text) : t_(text) {}

    std::size_t pos = 0;
    // Containers open when value() stopped at one nested too deep, the top-level object included.
    std::size_t openAtStop = 0;

    bool at(char c) const { return pos < t_.size() && t_[pos] == c; }
    bool atEnd() const { return pos >= t_.size(); }
    void skipSpace() {
        while (pos < t_.size() && isSpace(t_[pos])) ++pos;
    }

    // A string from its opening quote to just past its closing one; *escaped tells whether it
    // has escapes.
    bool string(bool* escaped) {
        ++pos;
        while (pos < t_.size()) {
            const auto c = static_cast<unsigned char>(t_[pos]);
            if (c == '"') {
                ++pos;
                return true;
            }
            if (c == '\\') {
                *escaped = true;
                if (!escape()) return false;
            } else if (c < 0x20) {
                return false;
            } else if (c < 0x80) {
                ++pos;
            } else {
                auto i = static_cast<std::int32_t>(pos);
                UChar32 cp = 0;
                U8_NEXT(reinterpret_cast<const std::uint8_t*>(t_.data()), i, static_cast<std::int32_t>(t_.size()), cp);
                if (cp < 0) return false;
                pos = static_cast<std::size_t>(i);
            }
        }
        return false;
    }

    bool number() {
        if (at('-')) ++pos;
        if (at('0')) {
            ++pos;
        } else if (pos < t_.size() && t_[pos] >= '1' && t_[pos] <= '9') {
            digits();
        } else {
            return false;
        }
        if (at('.')) {
            ++pos;
            if (!digits()) return false;
        }
        if (at('e') || at('E')) {
            ++pos;
            if (at('+') || at('-')) ++pos;
            if (!digits()) return false;
        }
        return true;
    }

    enum class Value { ok, bad, tooDeep };
    // One value, containers and all, with `open` containers open around it. A container nested
    // deeper than a setting may be stops the scan at its bracket.
    Value value(std::size_t open) {
        char closers[kMaxJsonNesting + 1];
        std::size_t depth = 0;
        for (;;) {
            // A value starts here.
            if (atEnd()) return Value::bad;
            const char c = t_[pos];
            if (c == '{' || c == '[') {
                if (open + depth + 1 > kMaxJsonNesting) {
                    openAtStop = open + depth;
                    return Value::tooDeep;
                }
                closers[depth++] = c == '{' ? '}' : ']';
                ++pos;
                skipSpace();
                if (at(closers[depth - 1])) {
                    ++pos;
                    --depth;
                } else {
                    if (c == '{' && !memberKey()) return Value::bad;
                    continue;
                }
            } else if (c == '"') {
                bool escaped = false;
                if (!string(&escaped)) return Value::bad;
            } else if (c == '-' || isDigit(c)) {
                if (!number()) return Value::bad;
            } else if (!literal()) {
                return Value::bad;
            }
            // A value ended: the containers around it go on or close.
            for (;;) {
                if (depth == 0) return Value::ok;
                skipSpace();
                if (at(',')) {
                    ++pos;
                    skipSpace();
                    if (closers[depth - 1] == '}' && !memberKey()) return Value::bad;
                    break;
                }
                if (!at(closers[depth - 1])) return Value::bad;
                ++pos;
                --depth;
            }
        }
    }

    // Where a key's text lies between its quotes, and whether it has escapes.
    struct Key {
        std::size_t start = 0, end = 0;
        bool escaped = false;
    };
    // A key, its colon and the space up to the value.
    std::optional<Key> memberKey() {
        if (!at('"')) return std::nullopt;
        Key key{pos + 1};
        if (!string(&key.escaped)) return std::nullopt;
        key.end = pos - 1;
        skipSpace();
        if (!at(':')) return std::nullopt;
        ++pos;
        skipSpace();
        return key;
    }

private:
    bool digits() {
        const std::size_t from = pos;
        while (pos < t_.size() && isDigit(t_[pos])) ++pos;
        return pos > from;
    }

    bool literal() {
        for (std::string_view word : {"true", "false", "null"})
            if (t_.substr(pos, word.size()) == word) {
                pos += word.size();
                return true;
            }
        return false;
    }

    // A code unit of a \u escape at pos (just past the "u"), or -1.
    long unit() {
        if (t_.size() - pos < 4) return -1;
        long u = 0;
        for (int k = 0; k < 4; ++k) {
            const int d = hexDigit(t_[pos + static_cast<std::size_t>(k)]);
            if (d < 0) return -1;
            u = u * 16 + d;
        }
        pos += 4;
        return u;
    }

    // An escape from its backslash; a \u escape of a surrogate comes in a pair.
    bool escape() {
        if (++pos >= t_.size()) return false;
        const char e = t_[pos++];
        if (e != 'u') return std::string_view("\"\\/bfnrt").find(e) != std::string_view::npos;
        const long u = unit();
        if (u >= 0xDC00 && u <= 0xDFFF) return false;
        if (u < 0xD800 || u > 0xDBFF) return u >= 0;
        if (t_.substr(pos, 2) != "\\u") return false;
        pos += 2;
        const long low = unit();
        return low >= 0xDC00 && low <= 0xDFFF;
    }

    std::string_view t_;
};

// The key a string's text (between its quotes, known sound) stands for.
void appendDecoded(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        const char e = text[++i];
        if (e != 'u') {
            out += e == 'b' ? '\b' : e == 'f' ? '\f' : e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
            continue;
        }
        auto unitAt = [&](std::size_t at) {
            UChar32 u = 0;
            for (std::size_t k = 0; k < 4; ++k) u = u * 16 + hexDigit(text[at + k]);
            return u;
        };
        UChar32 cp = unitAt(i + 1);
        i += 4;
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (unitAt(i + 3) - 0xDC00);
            i += 6;
        }
        std::uint8_t bytes[4];
        std::int32_t length = 0;
        U8_APPEND_UNSAFE(bytes, length, cp);
        out.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
    }
}

}  // namespace

std::string readableJsonKey(std::string key) {
    std::string written;
    if (appendCompactJsonString(written, key)) return key;
    std::string readable;
    appendDecoded(readable, std::string_view(written).substr(1, written.size() - 2));
    return readable;
}

std::string_view JsonObjectMembers::keyOf(const Span& span) const {
    const std::string& from = span.keyLength & kInKeys ? keys_ : text_;
    return std::string_view(from).substr(span.keyAt, span.keyLength & ~kInKeys);
}

JsonObjectMembers::Member JsonObjectMembers::operator[](std::size_t i) const {
    const Span& span = members_[i];
    return {keyOf(span), std::string_view(text_).substr(span.valueAt, span.valueLength)};
}

std::optional<JsonObjectMembers::Member> JsonObjectMembers::find(std::string_view key) const {
    const auto at = std::lower_bound(members_.begin(), members_.end(), key,
                                     [this](const Span& span, std::string_view k) { return keyOf(span) < k; });
    if (at == members_.end() || keyOf(*at) != key) return std::nullopt;
    return (*this)[static_cast<std::size_t>(at - members_.begin())];
}

JsonObjectMembers JsonObjectMembers::read(std::string text) {
    JsonObjectMembers m;
    m.text_ = std::move(text);
    m.sound_ = false;
    // Offsets are 31 bits; a settings file is far smaller.
    if (m.text_.size() >= kInKeys) return m;
    const std::string_view t = m.text_;
    Scanner s(t);
    if (t.starts_with("\xEF\xBB\xBF")) s.pos = 3;
    s.skipSpace();
    if (!s.at('{')) return m;
    ++s.pos;
    s.skipSpace();
    bool damaged = false;
    auto add = [&](const Scanner::Key& key, std::size_t valueStart, std::size_t valueEnd) {
        Span span;
        if (key.escaped) {
            span.keyAt = static_cast<std::uint32_t>(m.keys_.size());
            appendDecoded(m.keys_, t.substr(key.start, key.end - key.start));
            span.keyLength = static_cast<std::uint32_t>(m.keys_.size() - span.keyAt) | kInKeys;
        } else {
            span.keyAt = static_cast<std::uint32_t>(key.start);
            span.keyLength = static_cast<std::uint32_t>(key.end - key.start);
        }
        span.valueAt = static_cast<std::uint32_t>(valueStart);
        span.valueLength = static_cast<std::uint32_t>(valueEnd - valueStart);
        m.members_.push_back(span);
    };
    // Room for the smallest members ("a":0,) the text could hold: pages never used cost nothing,
    // and the vector is not grown (two copies at once) member by member.
    m.members_.reserve(t.size() / 6);
    bool closed = s.at('}');
    while (!closed) {
        const auto key = s.memberKey();
        if (!key) break;
        const std::size_t valueStart = s.pos;
        const auto read = s.value(1);
        if (read == Scanner::Value::bad) break;
        if (read == Scanner::Value::tooDeep) {
            // Dropped unbuilt; its end is where the brackets come back to the top-level object.
            damaged = true;
            const std::size_t end = jsonNestingReturn(t, s.pos, s.openAtStop, 1);
            if (end == std::string_view::npos) break;
            s.pos = end;
        } else {
            const std::size_t valueEnd = s.pos;
            const bool scalar = t[valueStart] != '"' && t[valueStart] != '{' && t[valueStart] != '[';
            s.skipSpace();
            const bool followed = s.at(',') || s.at('}');
            if (followed || !scalar) add(*key, valueStart, valueEnd);
            if (!followed) break;
        }
        s.skipSpace();
        if (s.at('}')) {
            closed = true;
        } else if (s.at(',')) {
            ++s.pos;
            s.skipSpace();
        } else {
            break;
        }
    }
    if (closed) {
        ++s.pos;
        s.skipSpace();
    }
    m.sound_ = closed && s.atEnd() && !damaged;
    m.sortByKey();
    return m;
}

void JsonObjectMembers::sortByKey() {
    auto less = [this](const Span& a, const Span& b) { return keyOf(a) < keyOf(b); };
    if (std::adjacent_find(members_.begin(), members_.end(), [&](const Span& a, const Span& b) {
            return !less(a, b);
        }) == members_.end())
        return;  // as every file this store writes
    std::stable_sort(members_.begin(), members_.end(), less);
    // Of members with one key, the last read counts.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < members_.size(); ++i) {
        if (i + 1 < members_.size() && keyOf(members_[i]) == keyOf(members_[i + 1])) continue;
        members_[kept++] = members_[i];
    }
    members_.resize(kept);
}

namespace {

// The length of a member's key and value as withChanges writes them: the key quoted, a colon, the value.
std::size_t writtenLength(std::string_view key, std::size_t valueLength, std::string& scratch) {
    scratch.clear();
    appendCompactJsonString(scratch, key);
    return scratch.size() + 1 + valueLength;
}

}  // namespace

bool JsonObjectMembers::longerWithChanges(const Changes& changes, std::size_t limit, std::size_t* length) const {
    std::string scratch;
    std::size_t added = 0, addedCount = 0;
    for (const auto& [key, value] : changes) {
        if (!value) continue;
        added += writtenLength(key, value->size(), scratch);
        ++addedCount;
    }
    // No member is written longer than it was read (keys compactly, values as they were), nor with
    // more commas between them; only the braces may be missing from a damaged text.
    if (!membersLength_ && text_.size() + 2 + added + addedCount <= limit) return false;
    if (!membersLength_) {
        std::size_t members = 0;
        for (const Span& span : members_) members += writtenLength(keyOf(span), span.valueLength, scratch);
        membersLength_ = members;
    }
    std::size_t written = *membersLength_ + added, count = members_.size() + addedCount;
    for (const auto& change : changes)
        if (const auto member = find(change.first)) {
            written -= writtenLength(member->key, member->value.size(), scratch);
            --count;
        }
    *length = 2 + written + (count ? count - 1 : 0);
    return *length > limit;
}

JsonObjectMembers JsonObjectMembers::withChanges(const Changes& changes) const {
    JsonObjectMembers out;
    std::size_t changed = 0;
    for (const auto& [key, value] : changes) changed += key.size() + (value ? value->size() : 0) + 8;
    out.text_.reserve(text_.size() + changed + 2);
    out.members_.reserve(members_.size() + changes.size());
    out.text_ += '{';
    auto emit = [&out](std::string_view key, std::string_view value) {
        if (out.text_.size() > 1) out.text_ += ',';
        Span span;
        const std::size_t from = out.text_.size();
        if (appendCompactJsonString(out.text_, key)) {
            span.keyAt = static_cast<std::uint32_t>(from + 1);
            span.keyLength = static_cast<std::uint32_t>(key.size());
        } else {
            // The key as it reads back: escapes resolved, text that was not UTF-8 repaired.
            span.keyAt = static_cast<std::uint32_t>(out.keys_.size());
            appendDecoded(out.keys_, std::string_view(out.text_).substr(from + 1, out.text_.size() - from - 2));
            span.keyLength = static_cast<std::uint32_t>(out.keys_.size() - span.keyAt) | kInKeys;
        }
        out.text_ += ':';
        span.valueAt = static_cast<std::uint32_t>(out.text_.size());
        span.valueLength = static_cast<std::uint32_t>(value.size());
        out.text_ += value;
        out.members_.push_back(span);
    };
    // Members that stand in the text as they are written, one after the other (as in every file
    // this store writes), are copied in one piece up to the next change. A key the scanner passed
    // without escapes is one appendCompactJsonString writes as it is, so only the layout is looked at.
    auto valueEnd = [](const Span& span) { return span.valueAt + span.valueLength; };
    auto writtenSo = [this](const Span& span) {
        return !(span.keyLength & kInKeys) && span.keyAt > 0 && text_[span.keyAt - 1] == '"' &&
               span.valueAt == span.keyAt + span.keyLength + 2 && text_[span.keyAt + span.keyLength] == '"' &&
               text_[span.keyAt + span.keyLength + 1] == ':';
    };
    auto copyRun = [&](std::size_t i, std::size_t limit) {
        std::size_t j = i + 1;
        while (j < limit && writtenSo(members_[j]) && members_[j].keyAt == valueEnd(members_[j - 1]) + 2 &&
               text_[valueEnd(members_[j - 1])] == ',')
            ++j;
        if (out.text_.size() > 1) out.text_ += ',';
        const std::size_t from = members_[i].keyAt - 1;
        const auto shift = static_cast<std::uint32_t>(out.text_.size() - from);
        out.text_.append(text_, from, valueEnd(members_[j - 1]) - from);
        for (std::size_t k = i; k < j; ++k) {
            Span span = members_[k];
            span.keyAt += shift;
            span.valueAt += shift;
            out.members_.push_back(span);
        }
        return j;
    };
    auto change = changes.begin();
    // The first member at or after the next change's key, found once for each change: members in
    // a text whose order is not its keys' (a file written by hand) come in many short runs.
    constexpr std::size_t kNotFound = SIZE_MAX;
    std::size_t limit = kNotFound;
    for (std::size_t i = 0; i < members_.size() || change != changes.end();) {
        const bool fromChange =
            change != changes.end() && (i == members_.size() || std::string_view(change->first) <= keyOf(members_[i]));
        if (!fromChange && writtenSo(members_[i])) {
            if (limit == kNotFound)
                limit = change == changes.end()
                            ? members_.size()
                            : static_cast<std::size_t>(std::lower_bound(members_.begin() + static_cast<std::ptrdiff_t>(i),
                                                                        members_.end(), std::string_view(change->first),
                                                                        [this](const Span& span, std::string_view k) {
                                                                            return keyOf(span) < k;
                                                                        }) -
                                                       members_.begin());
            i = copyRun(i, limit);
            continue;
        }
        if (!fromChange) {
            const Member m = (*this)[i++];
            emit(m.key, m.value);
            continue;
        }
        if (i < members_.size() && keyOf(members_[i]) == change->first) ++i;  // replaced or removed
        if (change->second) emit(change->first, *change->second);
        ++change;
        limit = kNotFound;
    }
    out.text_ += '}';
    out.membersLength_ = out.text_.size() - 2 - (out.members_.empty() ? 0 : out.members_.size() - 1);
    return out;
}

}  // namespace quillmar::platform
