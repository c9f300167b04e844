#include "ui/text_measurer.h"

#include <cmath>
#include <map>
#include <tuple>

namespace quillmar::ui {

gfx::TextOptions TextStyle::options(std::optional<double> maxWidth) const {
    gfx::TextOptions o;
    if (maxWidth && std::isfinite(*maxWidth)) o.maxWidth = std::max(0.0, *maxWidth);
    o.lineLimit = std::max(0, lineLimit);
    o.minimumScaleFactor = std::clamp(std::isfinite(minimumScaleFactor) ? minimumScaleFactor : 1.0, 0.01, 1.0);
    o.lineSpacing = std::isfinite(lineSpacing) ? std::max(0.0, lineSpacing) : 0;
    o.alignment = alignment;
    return o;
}

namespace {

class GfxTextMeasurer final : public TextMeasurer {
public:
    Size measure(const std::string& text, const TextStyle& style, std::optional<double> maxWidth) override {
        const auto options = style.options(maxWidth);
        // The family list names the CJK face of the interface language: a size measured in one
        // language is not reused in another.
        Key key{text,
                style.font.familyList(),
                style.font.size,
                static_cast<int>(style.font.weight),
                static_cast<int>(style.font.design),
                style.font.monospacedDigits,
                options.lineLimit,
                options.minimumScaleFactor,
                options.lineSpacing,
                options.maxWidth ? *options.maxWidth : -1.0};
        auto it = cache_.find(key);
        if (it != cache_.end()) return it->second;
        if (cache_.size() > 8192) cache_.clear();
        gfx::TextLayout layout(text, style.font, options);
        Size s = layout.size();
        if (!s.isFinite()) s = {};
        cache_.emplace(std::move(key), s);
        return s;
    }

private:
    using Key = std::tuple<std::string, std::string, double, int, int, bool, int, double, double, double>;
    std::map<Key, Size> cache_;
};

}  // namespace

std::shared_ptr<TextMeasurer> TextMeasurer::standard() {
    static auto measurer = std::make_shared<GfxTextMeasurer>();
    return measurer;
}

}  // namespace quillmar::ui
