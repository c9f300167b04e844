#include "ui/update_scheduler.h"

#include <algorithm>

#include "runtime/main_loop.h"
#include "runtime/world.h"

namespace quillmar::ui {
namespace {
const Transaction& noTransaction() {
    static const Transaction none;
    return none;
}
}  // namespace

UpdateScheduler& UpdateScheduler::instance() {
    static UpdateScheduler* scheduler = [] {
        auto* s = new UpdateScheduler();
        // A fresh world has a fresh main loop: flushes posted to the old one will never run.
        runtime::World::addResetHook([s] {
            for (auto& e : s->entries_) e.posted = false;
            s->scopes_.clear();
        });
        return s;
    }();
    return *scheduler;
}

void UpdateScheduler::add(UpdateTarget* target) {
    if (!find(target)) entries_.push_back(Entry{target, std::make_shared<bool>(true)});
}

void UpdateScheduler::remove(UpdateTarget* target) {
    for (auto& e : entries_)
        if (e.target == target) *e.alive = false;
    std::erase_if(entries_, [target](const Entry& e) { return e.target == target; });
    for (auto& s : scopes_) std::erase(s.targets, target);
}

UpdateScheduler::Entry* UpdateScheduler::find(UpdateTarget* t) {
    for (auto& e : entries_)
        if (e.target == t) return &e;
    return nullptr;
}

const Transaction& UpdateScheduler::currentTransaction() const {
    return scopes_.empty() ? noTransaction() : scopes_.back().transaction;
}

void UpdateScheduler::noteInvalidated(UpdateTarget* target) {
    if (!scopes_.empty()) {
        auto& targets = scopes_.back().targets;
        if (std::find(targets.begin(), targets.end(), target) == targets.end()) targets.push_back(target);
        return;
    }
    Entry* e = find(target);
    if (!e || e->posted) return;
    e->posted = true;
    std::weak_ptr<bool> alive = e->alive;
    runtime::MainLoop::main().post([this, target, alive] {
        auto a = alive.lock();
        if (!a || !*a) return;
        if (Entry* entry = find(target)) entry->posted = false;
        if (target->hasPendingUpdate()) target->flushUpdate(noTransaction());
    });
}

void UpdateScheduler::flushScopeTargets(Scope& scope) {
    auto targets = std::move(scope.targets);
    scope.targets.clear();
    for (UpdateTarget* t : targets)
        if (find(t) && t->hasPendingUpdate()) t->flushUpdate(scope.transaction);
}

void UpdateScheduler::beginScope(const Transaction& t) {
    // What changed before the block does not take the block's animation.
    if (!scopes_.empty()) flushScopeTargets(scopes_.back());
    for (auto& e : std::vector<Entry>(entries_))
        if (find(e.target) && e.target->hasPendingUpdate()) e.target->flushUpdate(noTransaction());
    scopes_.push_back(Scope{t, {}});
}

void UpdateScheduler::endScope() {
    if (scopes_.empty()) return;
    Scope scope = std::move(scopes_.back());
    scopes_.pop_back();
    flushScopeTargets(scope);
}

void UpdateScheduler::flushAll() {
    for (auto& e : std::vector<Entry>(entries_))
        if (find(e.target) && e.target->hasPendingUpdate()) e.target->flushUpdate(currentTransaction());
}

const Transaction& Transaction::current() { return UpdateScheduler::instance().currentTransaction(); }

void withTransaction(const Transaction& transaction, const std::function<void()>& body) {
    auto& s = UpdateScheduler::instance();
    s.beginScope(transaction);
    struct End {
        UpdateScheduler& s;
        ~End() { s.endScope(); }
    } end{s};
    if (body) body();
}

void withAnimation(std::optional<Animation> animation, const std::function<void()>& body) {
    withTransaction(Transaction{std::move(animation), false}, body);
}

}  // namespace quillmar::ui
