#pragma once
// Text: one string in the environment's font, colour and line settings. It is as wide as its
// text up to the width offered; beyond that it wraps, or, limited to one line, shrinks down to
// the minimum scale factor and is then truncated at the tail.

#include <string>

#include "ui/view.h"

namespace quillmar::ui {

View Text(std::string text);

}  // namespace quillmar::ui
