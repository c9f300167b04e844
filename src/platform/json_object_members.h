#pragma once
// The members of a JSON object text, found without building their values: where each key and
// value starts and ends, in order of their keys. A settings file of a million members is read, and
// written back with a few changed, for the cost of passing over its bytes once; a value is built
// only when someone asks for it.
//
// Hand-written rather than read with the JSON library: the library builds a value for every member
// and its event interface tells no byte offsets, so it cannot say where a member's text lies, nor
// go on past a member it could not read. The scanner holds to the same grammar as the library
// (RFC 8259, UTF-8 checked, surrogate escapes paired, a byte order mark allowed at the start), so
// every value it passes reads with the library.
//
// Reading keeps every member that is complete before the first damage: a string or container at
// its closing quote or bracket, a number or literal only once a comma or the closing brace follows
// (a cut-off "1234" must not come back as 12). A member nested deeper than kMaxJsonNesting is
// dropped, unbuilt, and the members after it are read on (the text counts as damaged). A number
// too large for a double ("1e400") passes as the grammar has it: only building it fails. A key
// given twice keeps its last member.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmar::platform {

class JsonObjectMembers {
public:
    struct Member {
        std::string_view key;    // as the program sees it (escapes resolved)
        std::string_view value;  // the value's text as the file spells it
    };
    // New value texts by key (each compact JSON), or nullopt for a key that goes.
    using Changes = std::map<std::string, std::optional<std::string>>;

    JsonObjectMembers() = default;
    // The members of text; sound() tells whether text was one whole object and nothing was dropped.
    static JsonObjectMembers read(std::string text);

    bool sound() const { return sound_; }
    std::size_t size() const { return members_.size(); }
    bool empty() const { return members_.empty(); }
    Member operator[](std::size_t i) const;
    std::optional<Member> find(std::string_view key) const;

    // The compact object text of these members with `changes` applied, and its members: unchanged
    // members keep their value's text byte for byte (keys are written compactly), so the text is
    // never longer than the one read apart from the changes and, when that was damaged, the
    // braces it lacked.
    JsonObjectMembers withChanges(const Changes& changes) const;
    // Whether withChanges(changes).text() would be longer than `limit` bytes, found without
    // writing it (*length is then its length): a save too large for the file is refused for what
    // checking the changes costs. The text is never longer than the one read, its two braces and
    // the changes, so only a merge near the limit needs the members' written length: at hand for
    // the members withChanges made, found by one pass for those read.
    bool longerWithChanges(const Changes& changes, std::size_t limit, std::size_t* length) const;
    // The object text itself: as read, or as made by withChanges.
    const std::string& text() const { return text_; }

private:
    // Offsets into text_, or into keys_ for a key whose text is not the key itself (it has escapes).
    struct Span {
        std::uint32_t keyAt = 0, keyLength = 0, valueAt = 0, valueLength = 0;
    };
    static constexpr std::uint32_t kInKeys = 1u << 31;  // on keyLength: the key is in keys_

    std::string_view keyOf(const Span& span) const;
    void sortByKey();

    std::string text_;
    std::string keys_;
    std::vector<Span> members_;
    bool sound_ = true;
    // What the members take when written, commas and braces aside; found when first asked for.
    mutable std::optional<std::size_t> membersLength_;
};

// The key as it reads back once written: text that is not UTF-8 gets replacement characters.
std::string readableJsonKey(std::string key);

}  // namespace quillmar::platform
