// A settings file of any content: the members that can be read come back, converted by the loose
// type rules; nothing crashes or hangs; a sound file is written back in no more bytes than it had,
// and what is written back reads as the same members.

#include <cstdint>
#include <string>

#include "platform/compact_json.h"
#include "platform/json_file_defaults_store.h"
#include "platform/user_defaults.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using quillmar::platform::JsonFileDefaultsStore;
    using quillmar::platform::UserDefaults;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto members = JsonFileDefaultsStore::parseRecovering(text);
    if (members.sound) {
        // Written back, it is no larger and reads as the same members.
        const std::string written = quillmar::platform::jsonObjectText(members.texts);
        if (written.size() > size) __builtin_trap();
        const auto again = JsonFileDefaultsStore::parseRecovering(written);
        if (!again.sound || again.values != members.values || again.texts != members.texts) __builtin_trap();
    }
    for (const auto& [key, value] : members.values) {
        (void)UserDefaults::toBool(value);
        (void)UserDefaults::toInteger(value);
        (void)UserDefaults::toDouble(value);
    }
    return 0;
}
