#include "runtime/world.h"

#include <algorithm>
#include <map>
#include <thread>

#include "runtime/main_loop.h"

namespace quillmar::runtime {

namespace {
struct Registry {
    std::recursive_mutex mutex;
    std::map<std::type_index, void*> byType;
    std::vector<std::pair<std::type_index, void (*)(void*)>> order;  // creation order
    std::map<std::type_index, std::thread::id> underConstruction;
    std::vector<std::function<void()>> hooks;
};
Registry& registry() {
    static Registry r;
    return r;
}
}  // namespace

void* World::lookup(std::type_index t) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.byType.find(t);
    return it == r.byType.end() ? nullptr : it->second;
}

void* World::getOrCreate(std::type_index t, Holder (*make)()) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    if (auto it = r.byType.find(t); it != r.byType.end()) return it->second;
    if (r.underConstruction.count(t)) {
        std::fprintf(stderr, "World: %s asked for itself while being constructed\n", t.name());
        std::abort();
    }
    r.underConstruction[t] = std::this_thread::get_id();
    Holder h = make();
    r.underConstruction.erase(t);
    r.byType[t] = h.object;
    r.order.emplace_back(t, h.destroy);
    return h.object;
}

void World::put(std::type_index t, Holder h) {
    auto& r = registry();
    void* old = nullptr;
    void (*oldDestroy)(void*) = nullptr;
    {
        std::lock_guard lock(r.mutex);
        if (auto it = r.byType.find(t); it != r.byType.end()) {
            old = it->second;
            auto o = std::find_if(r.order.begin(), r.order.end(), [&](auto& e) { return e.first == t; });
            oldDestroy = o->second;
            r.order.erase(o);
        }
        r.byType[t] = h.object;
        r.order.emplace_back(t, h.destroy);
    }
    if (old) oldDestroy(old);
}

void World::reset() {
    auto& r = registry();
    for (;;) {
        std::pair<std::type_index, void (*)(void*)> last{typeid(void), nullptr};
        void* obj = nullptr;
        {
            std::lock_guard lock(r.mutex);
            if (r.order.empty()) break;
            last = r.order.back();
            r.order.pop_back();
            obj = r.byType[last.first];
            r.byType.erase(last.first);
        }
        // Destroyed outside the lock: a destructor may look other shared objects up.
        last.second(obj);
    }
    std::vector<std::function<void()>> hooks;
    {
        std::lock_guard lock(r.mutex);
        hooks = r.hooks;
    }
    for (auto& h : hooks) h();
    MainLoop::installMain(std::make_unique<MainLoop>(TimeMode::Virtual));
}

void World::addResetHook(std::function<void()> hook) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.hooks.push_back(std::move(hook));
}

}  // namespace quillmar::runtime
