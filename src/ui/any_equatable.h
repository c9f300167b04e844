#pragma once
// A type-erased value that can be compared for equality with another of the same type; used to
// watch values for change (onChange, implicit animations).

#include <concepts>
#include <memory>
#include <typeindex>

namespace quillmar::ui {

class AnyEquatable {
public:
    AnyEquatable() = default;

    template <std::equality_comparable T>
    static AnyEquatable of(T value) {
        AnyEquatable a;
        a.value_ = std::make_shared<const T>(std::move(value));
        a.type_ = typeid(T);
        a.equal_ = [](const void* x, const void* y) {
            return *static_cast<const T*>(x) == *static_cast<const T*>(y);
        };
        return a;
    }

    bool empty() const { return value_ == nullptr; }
    template <class T>
    const T* get() const {
        return type_ == typeid(T) ? static_cast<const T*>(value_.get()) : nullptr;
    }

    friend bool operator==(const AnyEquatable& a, const AnyEquatable& b) {
        if (a.empty() || b.empty()) return a.empty() && b.empty();
        return a.type_ == b.type_ && a.equal_(a.value_.get(), b.value_.get());
    }

private:
    std::shared_ptr<const void> value_;
    std::type_index type_ = typeid(void);
    bool (*equal_)(const void*, const void*) = nullptr;
};

}  // namespace quillmar::ui
