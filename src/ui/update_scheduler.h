#pragma once
// Coalesces view re-evaluation: a view graph whose state changed is flushed once on a later turn
// of the main loop, or, when the change happened inside a withTransaction() block, at the end of
// that block with the block's transaction.

#include <memory>
#include <vector>

#include "ui/transaction.h"

namespace quillmar::ui {

// Something that re-evaluates when flushed (a view graph).
class UpdateTarget {
public:
    virtual ~UpdateTarget() = default;
    virtual bool hasPendingUpdate() const = 0;
    virtual void flushUpdate(const Transaction& transaction) = 0;
};

class UpdateScheduler {
public:
    static UpdateScheduler& instance();

    void add(UpdateTarget* target);
    void remove(UpdateTarget* target);

    // `target` has pending changes made under Transaction::current().
    void noteInvalidated(UpdateTarget* target);

    // Used by withTransaction().
    void beginScope(const Transaction& t);
    void endScope();
    const Transaction& currentTransaction() const;

    // Flushes everything pending now (each target with the transaction it was changed under).
    void flushAll();

private:
    struct Entry {
        UpdateTarget* target;
        std::shared_ptr<bool> alive;
        bool posted = false;
    };
    struct Scope {
        Transaction transaction;
        std::vector<UpdateTarget*> targets;
    };
    Entry* find(UpdateTarget* t);
    void flushScopeTargets(Scope& scope);

    std::vector<Entry> entries_;
    std::vector<Scope> scopes_;
};

}  // namespace quillmar::ui
