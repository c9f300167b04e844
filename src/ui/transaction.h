#pragma once
// Transactions: the context in which state changes are made. withAnimation() runs a block whose
// state writes animate with the given animation; views re-evaluate when the block ends, so the
// animation starts at that instant on the main loop's clock. Writes made outside any block are
// re-evaluated together on a later turn of the main loop, without animation.

#include <functional>
#include <optional>

#include "ui/animation.h"

namespace quillmar::ui {

struct Transaction {
    std::optional<Animation> animation;
    bool disablesAnimations = false;

    // The transaction of the innermost running withTransaction()/withAnimation() block.
    static const Transaction& current();
    // The animation changes under this transaction should use (none when disabled).
    std::optional<Animation> effectiveAnimation() const {
        return disablesAnimations ? std::nullopt : animation;
    }

    friend bool operator==(const Transaction&, const Transaction&) = default;
};

// Runs `body` with `transaction` current; changes it makes are re-evaluated when it returns.
// Changes still pending from before are re-evaluated first, outside the transaction.
void withTransaction(const Transaction& transaction, const std::function<void()>& body);
void withAnimation(std::optional<Animation> animation, const std::function<void()>& body);

}  // namespace quillmar::ui
