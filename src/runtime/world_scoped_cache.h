#pragma once
// A one-value cache that lives as long as the world: emptied by World::reset(), so a fresh world
// (a test, the next demo scenario) never sees what the previous one remembered. Each value type
// has its own slot. Main thread only.

#include <optional>

#include "runtime/world.h"

namespace quillmar::runtime {

template <class T>
std::optional<T>& worldScopedCache() {
    static std::optional<T> entry;
    static const bool hooked = [] {
        World::addResetHook([] { entry.reset(); });
        return true;
    }();
    (void)hooked;
    return entry;
}

}  // namespace quillmar::runtime
