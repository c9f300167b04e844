#pragma once
// The process's shared objects. Each is created on first use (once, even when several threads
// ask at the same time), kept for the process, and destroyed in reverse order of creation by
// World::reset(), which tests call so that each case starts from a fresh world with a fresh
// main loop on virtual time.
//
// Services behind an interface (the simulated desktop's backends, fakes in tests) are put in
// place with World::install<Interface>(); World::shared<Interface>() then returns them.

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <type_traits>
#include <typeindex>
#include <vector>

namespace quillmar::runtime {

class World {
public:
    template <class T>
    static T& shared() {
        if (T* p = find<T>()) return *p;
        if constexpr (std::is_abstract_v<T> || !std::is_default_constructible_v<T>) {
            std::fprintf(stderr, "World: no instance installed for %s\n", typeid(T).name());
            std::abort();
        } else {
            return *static_cast<T*>(getOrCreate(typeid(T), [] {
                auto* obj = new T();
                return Holder{obj, [](void* o) { delete static_cast<T*>(o); }};
            }));
        }
    }

    // Puts obj in place as the shared T, replacing any earlier one (which is destroyed).
    template <class T>
    static T& install(std::unique_ptr<T> obj) {
        T* raw = obj.release();
        put(typeid(T), Holder{raw, [](void* o) { delete static_cast<T*>(o); }});
        return *raw;
    }

    // The shared T when it exists, without creating it.
    template <class T>
    static T* find() {
        return static_cast<T*>(lookup(typeid(T)));
    }

    // Destroys every shared object (newest first) and installs a fresh virtual main loop.
    static void reset();

    // Called by reset() after the objects are gone: lets layers clear caches of their own.
    static void addResetHook(std::function<void()> hook);

private:
    struct Holder {
        void* object;
        void (*destroy)(void*);
    };
    static void* lookup(std::type_index t);
    static void* getOrCreate(std::type_index t, Holder (*make)());
    static void put(std::type_index t, Holder h);
};

}  // namespace quillmar::runtime
