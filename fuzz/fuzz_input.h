#pragma once
// Splits a fuzzer's bytes into the values a target needs: numbers (any bit pattern, NaN and
// infinities included), small integers and strings, taken from the front until the bytes run out.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace quillmar::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    double number() {
        double d = 0;
        std::uint8_t raw[sizeof d] = {};
        for (auto& b : raw) b = byte();
        std::memcpy(&d, raw, sizeof d);
        return d;
    }
    // A number that is usually sane (small coordinates) and now and then wild.
    double coordinate() {
        const std::uint8_t kind = byte();
        if (kind < 200) return (static_cast<int>(byte()) - 64) * 0.75;
        return number();
    }
    std::string string(std::size_t maxLength = 64) {
        const std::size_t n = std::min<std::size_t>(byte() % (maxLength + 1), size_ - std::min(pos_, size_));
        std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return s;
    }
    std::string rest() {
        std::string s(reinterpret_cast<const char*>(data_ + std::min(pos_, size_)), size_ - std::min(pos_, size_));
        pos_ = size_;
        return s;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace quillmar::fuzz
