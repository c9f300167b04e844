#include "switcher/non_activating_panel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "platform/accessibility_display_options.h"
#include "switcher/visual_effect_blur.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillmar {

namespace {

// Scales every channel of the premultiplied pixels by `table` (the 256 products, each rounded).
// Where one 16-bit multiplier k gives the table to the byte as (c·k + 2^15) >> 16, eight
// channels are scaled at a time with it; the last pixels, and any alpha no multiplier matches,
// go through the table.
void scaleChannels(std::uint32_t* row, int width, const std::array<std::uint8_t, 256>& table, double alpha) {
    int x = 0;
#if defined(__SSE2__)
    static thread_local double matchedAlpha = -1;
    static thread_local int multiplier = -1;
    if (alpha != matchedAlpha) {
        matchedAlpha = alpha;
        multiplier = -1;
        const long base = std::lround(alpha * 65536.0);
        for (long k = base - 2; k <= base + 2 && multiplier < 0; ++k) {
            if (k < 0 || k > 65535) continue;
            bool all = true;
            for (unsigned c = 0; c < 256 && all; ++c) all = ((c * unsigned(k) + 32768u) >> 16) == table[c];
            if (all) multiplier = static_cast<int>(k);
        }
    }
    if (multiplier >= 0) {
        const __m128i k = _mm_set1_epi16(static_cast<short>(static_cast<unsigned short>(multiplier)));
        const __m128i zero = _mm_setzero_si128();
        auto scale8 = [&](__m128i c) {
            // The 32-bit product split in two halves; the low half's top bit rounds.
            const __m128i hi = _mm_mulhi_epu16(c, k), lo = _mm_mullo_epi16(c, k);
            return _mm_add_epi16(hi, _mm_srli_epi16(lo, 15));
        };
        for (; x + 4 <= width; x += 4) {
            const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
            const __m128i out = _mm_packus_epi16(scale8(_mm_unpacklo_epi8(p, zero)), scale8(_mm_unpackhi_epi8(p, zero)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), out);
        }
    }
#endif
    for (; x < width; ++x) {
        const std::uint32_t p = row[x];
        if (p == 0) continue;
        row[x] = static_cast<std::uint32_t>(table[p >> 24]) << 24 | static_cast<std::uint32_t>(table[(p >> 16) & 0xffu]) << 16 |
                 static_cast<std::uint32_t>(table[(p >> 8) & 0xffu]) << 8 | table[p & 0xffu];
    }
}

}  // namespace

platform::PanelConfig NonActivatingPanel::hudConfig() {
    platform::PanelConfig c;
    c.contentRect = {0, 0, 700, 170};
    c.nonActivating = true;
    c.floating = true;
    c.level = 101;
    // Can join all spaces, stationary, ignores window cycling, full-screen auxiliary.
    c.collectionBehavior = 1u | 16u | 64u | 256u;
    c.opaque = false;
    c.hasShadow = true;
    return c;
}

std::unique_ptr<NonActivatingPanel> NonActivatingPanel::create(ui::View root) {
    auto* factory = platform::PanelWindows::installed();
    if (!factory) return nullptr;
    auto window = factory->createPanel(hudConfig());
    if (!window) return nullptr;
    return std::make_unique<NonActivatingPanel>(std::move(window), std::move(root));
}

NonActivatingPanel::NonActivatingPanel(std::unique_ptr<platform::PanelWindow> window, ui::View root)
    : window_(std::move(window)), host_(std::move(root), window_->frame().size()) {
    host_.setOnDisplayNeeded([w = window_.get()] { w->setNeedsDisplay(); });
}

void NonActivatingPanel::setFrame(const platform::Rect& frame, bool display, bool animate) {
    window_->setFrame(frame, display, animate);
    const auto size = window_->frame().size();
    if (size.isFinite() && !(size == host_.size())) host_.setSize(size);
}

platform::Size NonActivatingPanel::fittingSize() {
    auto s = host_.fittingSize();
    if (!s.isFinite() || s.width < 0 || s.height < 0) return {640, 160};
    return s;
}

void NonActivatingPanel::refreshEnvironment(ui::ColorScheme systemScheme) {
    auto env = host_.environment();
    const auto& options = platform::AccessibilityDisplayOptions::shared();
    env.colorScheme = systemScheme;
    env.accessibilityReduceMotion = options.shouldReduceMotion();
    env.accessibilityReduceTransparency = options.shouldReduceTransparency();
    env.colorSchemeContrast =
        options.shouldIncreaseContrast() ? ui::ColorSchemeContrast::increased : ui::ColorSchemeContrast::standard;
    if (!(env == host_.environment())) host_.setEnvironment(env);
}

std::vector<ui::Rect> NonActivatingPanel::behindWindowBlurFrames() {
    std::vector<ui::Rect> frames;
    if (auto f = host_.presentedFrame(VisualEffectBlur::kBehindWindowName)) frames.push_back(*f);
    return frames;
}

gfx::Image NonActivatingPanel::renderImage(double scale) {
    auto image = host_.renderImage(scale);
    const double alpha = window_->alphaValue();
    if (alpha < 1 && !image.isNull()) {
        // The window server composites the panel at its alpha; do the same to the snapshot. The
        // channels are premultiplied, so each is scaled alike: one table of the 256 products,
        // each rounded half away from zero, serves every pixel.
        const double a = std::isfinite(alpha) ? std::clamp(alpha, 0.0, 1.0) : 0.0;
        if (a == 0) {
            // Nothing shows through yet (the first frame of a fade-in): every pixel is clear.
            const int h = image.pixelHeight();
            std::fill_n(image.data(), static_cast<std::size_t>(image.stride() / 4) * static_cast<std::size_t>(h), 0u);
            image.markDirty();
            return image;
        }
        std::array<std::uint8_t, 256> scaled{};
        for (int c = 0; c < 256; ++c) scaled[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(std::lround(c * a));
        const int w = image.pixelWidth(), h = image.pixelHeight(), stride = image.stride() / 4;
        auto* data = image.data();
        for (int y = 0; y < h; ++y) scaleChannels(data + static_cast<std::ptrdiff_t>(y) * stride, w, scaled, a);
        image.markDirty();
    }
    return image;
}

bool NonActivatingPanel::writePng(const std::string& path, double scale, std::string* error) {
    return renderImage(scale).writePng(path, error);
}

}  // namespace quillmar
