#pragma once
// The emblem an easter egg shows on the About card: an enamel collector pin with one motif, or a
// carved seal with two columns of characters (each column read top to bottom, the right column
// first). Two emblems are equal when they are the same kind with equal payloads.

#include <string>
#include <variant>
#include <vector>

#include "seasonal/pin_motif.h"

namespace quillmar {

struct EnamelPin {
    PinMotif motif = PinMotif::shamrock;
    friend bool operator==(const EnamelPin&, const EnamelPin&) = default;
};

struct CarvedSeal {
    std::vector<std::string> right;
    std::vector<std::string> left;
    friend bool operator==(const CarvedSeal&, const CarvedSeal&) = default;
};

class EmblemStyle {
public:
    static EmblemStyle enamelPin(PinMotif motif) { return EmblemStyle(EnamelPin{motif}); }
    static EmblemStyle cjkCarvedSeal(std::vector<std::string> right, std::vector<std::string> left) {
        return EmblemStyle(CarvedSeal{std::move(right), std::move(left)});
    }

    const EnamelPin* pin() const { return std::get_if<EnamelPin>(&value_); }
    const CarvedSeal* seal() const { return std::get_if<CarvedSeal>(&value_); }

    friend bool operator==(const EmblemStyle&, const EmblemStyle&) = default;

private:
    explicit EmblemStyle(std::variant<EnamelPin, CarvedSeal> v) : value_(std::move(v)) {}
    std::variant<EnamelPin, CarvedSeal> value_;
};

}  // namespace quillmar
