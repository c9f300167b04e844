#include "gfx/span_compositor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "gfx/unit_byte.h"

namespace quillmar::gfx {
namespace {

constexpr int kLutSize = 1024;

inline std::uint32_t pack(const Color& c) { return premultipliedPixel(c.red, c.green, c.blue, c.alpha); }

// x * a / 255 for the two 8-bit channels in each half of 0x00ff00ff, rounded.
inline std::uint32_t scale(std::uint32_t p, std::uint32_t a) {
    std::uint32_t rb = (p & 0x00ff00ffu) * a + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00ff00ffu)) >> 8) & 0x00ff00ffu;
    std::uint32_t ag = ((p >> 8) & 0x00ff00ffu) * a + 0x00800080u;
    ag = (ag + ((ag >> 8) & 0x00ff00ffu)) & 0xff00ff00u;
    return rb | ag;
}

inline void blend(std::uint32_t& d, std::uint32_t src, std::uint32_t coverage) {
    if (coverage != 255) src = scale(src, coverage);
    std::uint32_t sa = src >> 24;
    if (sa == 255) {
        d = src;
        return;
    }
    if (src == 0) return;
    d = src + scale(d, 255 - sa);
}

#if defined(__SSE2__)
// a * b / 255 per 16-bit lane, rounded.
inline __m128i mulDiv255(__m128i a, __m128i b) {
    __m128i t = _mm_add_epi16(_mm_mullo_epi16(a, b), _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

// Source-over of four premultiplied source pixels already widened to 16-bit lanes.
inline void over4(std::uint32_t* d, __m128i sLo, __m128i sHi) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(255);
    __m128i aLo = _mm_sub_epi16(full, _mm_shufflehi_epi16(_mm_shufflelo_epi16(sLo, 0xFF), 0xFF));
    __m128i aHi = _mm_sub_epi16(full, _mm_shufflehi_epi16(_mm_shufflelo_epi16(sHi, 0xFF), 0xFF));
    __m128i dst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    __m128i dLo = _mm_add_epi16(mulDiv255(_mm_unpacklo_epi8(dst, zero), aLo), sLo);
    __m128i dHi = _mm_add_epi16(mulDiv255(_mm_unpackhi_epi8(dst, zero), aHi), sHi);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_packus_epi16(dLo, dHi));
}

// Source-over of four premultiplied source pixels, each scaled by its coverage byte.
inline void blend4(std::uint32_t* d, __m128i src, const std::uint8_t* m) {
    const __m128i zero = _mm_setzero_si128();
    std::uint32_t m4;
    std::memcpy(&m4, m, 4);
    __m128i cov = _mm_cvtsi32_si128(static_cast<int>(m4));
    cov = _mm_unpacklo_epi8(cov, cov);
    cov = _mm_unpacklo_epi16(cov, cov);  // each coverage byte four times
    over4(d, mulDiv255(_mm_unpacklo_epi8(src, zero), _mm_unpacklo_epi8(cov, zero)),
          mulDiv255(_mm_unpackhi_epi8(src, zero), _mm_unpackhi_epi8(cov, zero)));
}

// Source-over of four premultiplied source pixels under full coverage (no coverage scaling;
// the same result as blend4 with coverage 255).
inline void blend4Full(std::uint32_t* d, __m128i src) {
    const __m128i zero = _mm_setzero_si128();
    over4(d, _mm_unpacklo_epi8(src, zero), _mm_unpackhi_epi8(src, zero));
}

// Blends four source pixels with their coverage bytes `m4`: fully covered opaque pixels are
// stored as they are, fully covered translucent ones skip the coverage scaling.
inline void blendQuad(std::uint32_t* d, __m128i s, std::uint32_t m4, const std::uint8_t* m) {
    if (m4 == 0xFFFFFFFFu) {
        const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, alpha), alpha)) == 0xFFFF)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d), s);
        else
            blend4Full(d, s);
    } else {
        blend4(d, s, m);
    }
}
#endif

// Runs `pixel(x)` (returning the source pixel of column x) over [from, to) and blends it with
// the coverage, four columns at a time where the platform allows.
template <class Source>
inline void blendSpan(std::uint32_t* d, const std::uint8_t* m, int from, int to, Source&& pixel) {
    int x = from;
#if defined(__SSE2__)
    for (; x + 4 <= to; x += 4) {
        std::uint32_t m4;
        std::memcpy(&m4, m + x, 4);
        if (!m4) continue;
        // Built in registers: four scalar stores read back as one vector would stall.
        __m128i s = _mm_setr_epi32(static_cast<int>(pixel(x)), static_cast<int>(pixel(x + 1)),
                                   static_cast<int>(pixel(x + 2)), static_cast<int>(pixel(x + 3)));
        blendQuad(d + x, s, m4, m + x);
    }
#endif
    for (; x < to; ++x)
        if (m[x]) blend(d[x], pixel(x), m[x]);
}

#if defined(__SSE2__)
// As blendSpan, with the source computed four columns at a time: `quad(x)` returns the source
// pixels of columns x...x+3 in one register, `pixel(x)` one column (for the ragged end).
template <class Quad, class Source>
inline void blendSpan4(std::uint32_t* d, const std::uint8_t* m, int from, int to, Quad&& quad,
                       Source&& pixel) {
    int x = from;
    for (; x + 4 <= to; x += 4) {
        std::uint32_t m4;
        std::memcpy(&m4, m + x, 4);
        if (!m4) continue;
        blendQuad(d + x, quad(x), m4, m + x);
    }
    for (; x < to; ++x)
        if (m[x]) blend(d[x], pixel(x), m[x]);
}
#endif

// Advances x past a run of zero coverage, eight columns at a time.
inline int skipEmpty(const std::uint8_t* m, int x, int to) {
    while (x + 8 <= to) {
        std::uint64_t v;
        std::memcpy(&v, m + x, 8);
        if (v) break;
        x += 8;
    }
    while (x < to && !m[x]) ++x;
    return x;
}

struct LutStop {
    float r, gr, b, a, loc;
};

// The gradient at t = i / (n - 1), unpremultiplied. `k` is the stop segment reached so far
// (entries are made in order).
LutStop lutColor(const std::vector<LutStop>& s, std::size_t& k, int i, int n) {
    float t = n > 1 ? float(i) / float(n - 1) : 1.0f;
    while (k + 1 < s.size() && s[k + 1].loc <= t) ++k;
    if (t <= s.front().loc) return s.front();
    if (k + 1 >= s.size()) return s.back();
    const LutStop& a = s[k];
    const LutStop& b = s[k + 1];
    float span = b.loc - a.loc;
    float f = span > 0 ? (t - a.loc) / span : 1.0f;
    return {a.r + (b.r - a.r) * f, a.gr + (b.gr - a.gr) * f, a.b + (b.b - a.b) * f, a.a + (b.a - a.a) * f, t};
}

// A colour premultiplied and rounded to 8 bits.
std::uint32_t quantize(const LutStop& c) {
    float al = c.a * 255.0f;
    auto q = [](float v) { return roundedChannel(v, 255.0f); };
    return (q(al) << 24) | (q(c.r * al) << 16) | (q(c.gr * al) << 8) | q(c.b * al);
}

// Table entry i of n: the gradient at t = i / (n - 1), premultiplied.
std::uint32_t lutEntry(const std::vector<LutStop>& s, std::size_t& k, int i, int n) {
    return quantize(lutColor(s, k, i, n));
}

#if defined(__x86_64__) && defined(__GNUC__)
// x + (y - x)·f and the 0...255 rounding of lutEntry, eight lanes at once.
__attribute__((target("avx2"))) inline __m256 lerp8(float x, float y, __m256 f) {
    return _mm256_add_ps(_mm256_set1_ps(x), _mm256_mul_ps(_mm256_set1_ps(y - x), f));
}
__attribute__((target("avx2"))) inline __m256i quantize8(__m256 v) {
    v = _mm256_min_ps(_mm256_max_ps(v, _mm256_setzero_ps()), _mm256_set1_ps(255.0f));
    return _mm256_cvttps_epi32(_mm256_add_ps(v, _mm256_set1_ps(0.5f)));
}

// Entries eight at a time where all eight fall between the same two stops, with the same
// single-precision steps as lutEntry (so the same values); other entries go through lutEntry.
__attribute__((target("avx2"))) void buildLutAvx2(const std::vector<LutStop>& s, std::uint32_t* lut, int n) {
    std::size_t k = 0;
    int i = 0;
    const __m256 denom = _mm256_set1_ps(float(n - 1));
    const __m256 iota = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256 top = _mm256_set1_ps(255.0f);
    while (i + 8 <= n && n > 1) {
        float t0 = float(i) / float(n - 1), t7 = float(i + 7) / float(n - 1);
        while (k + 1 < s.size() && s[k + 1].loc <= t0) ++k;
        if (t0 <= s.front().loc || k + 1 >= s.size() || s[k + 1].loc <= t7) {
            for (int j = 0; j < 8; ++j, ++i) lut[i] = lutEntry(s, k, i, n);
            continue;
        }
        const LutStop& a = s[k];
        const LutStop& b = s[k + 1];
        __m256 t = _mm256_div_ps(_mm256_add_ps(_mm256_set1_ps(float(i)), iota), denom);
        __m256 f = _mm256_div_ps(_mm256_sub_ps(t, _mm256_set1_ps(a.loc)), _mm256_set1_ps(b.loc - a.loc));
        __m256 al = _mm256_mul_ps(lerp8(a.a, b.a, f), top);
        __m256i px = _mm256_or_si256(
            _mm256_or_si256(_mm256_slli_epi32(quantize8(al), 24),
                            _mm256_slli_epi32(quantize8(_mm256_mul_ps(lerp8(a.r, b.r, f), al)), 16)),
            _mm256_or_si256(_mm256_slli_epi32(quantize8(_mm256_mul_ps(lerp8(a.gr, b.gr, f), al)), 8),
                            quantize8(_mm256_mul_ps(lerp8(a.b, b.b, f), al))));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(lut + i), px);
        i += 8;
    }
    for (; i < n; ++i) lut[i] = lutEntry(s, k, i, n);
}
#endif

std::vector<LutStop> lutStops(const Gradient& g, double opacity) {
    std::vector<GradientStop> stops = g.resolvedStops(opacity);
    std::vector<LutStop> s;
    s.reserve(stops.size());
    for (const GradientStop& st : stops)
        s.push_back({float(st.color.red), float(st.color.green), float(st.color.blue), float(st.color.alpha),
                     float(st.location)});
    return s;
}

// Fills lut[0..n) with the gradient sampled evenly over 0...1 (premultiplied). A table no
// longer than the gradient is in pixels (plus margin) is as good as exact, and cheap to build.
void buildLut(const std::vector<LutStop>& s, std::array<std::uint32_t, kLutSize>& lut, int n) {
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        buildLutAvx2(s, lut.data(), n);
        return;
    }
#endif
    std::size_t k = 0;
    for (int i = 0; i < n; ++i) lut[i] = lutEntry(s, k, i, n);
}

// The 4 × 4 ordered-dither matrix: the pixel at (x mod 4, y mod 4) rounds at (value + 0.5) / 16.
constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
// A gradient is dithered where one step of a channel's 8-bit levels spans more pixels than this.
constexpr double kPixelsPerLevelToDither = 3;

// Whether a gradient `pixels` long has a stretch so gentle that its 8-bit steps would band.
bool wantsDither(const std::vector<LutStop>& s, double pixels) {
    if (!(pixels > 0) || !std::isfinite(pixels)) return false;
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        const LutStop& a = s[i];
        const LutStop& b = s[i + 1];
        const double span = double(b.loc - a.loc) * pixels;
        if (!(span > 0)) continue;
        const double levels =
            255.0 * std::max({std::fabs(double(b.a - a.a)), std::fabs(double(b.r * b.a - a.r * a.a)),
                              std::fabs(double(b.gr * b.a - a.gr * a.a)), std::fabs(double(b.b * b.a - a.b * a.a))});
        if (levels >= 1 && span / levels > kPixelsPerLevelToDither) return true;
    }
    return false;
}

int lutSizeFor(double lengthInPixels) {
    double n = std::ceil(std::fabs(lengthInPixels) * 2.0) + 2.0;
    return static_cast<int>(std::clamp(std::isfinite(n) ? n : double(kLutSize), 2.0, double(kLutSize)));
}

#if defined(__SSE2__)
// Four table entries for the positions in `f`: padded gradients clamp to the ends (NaN reads the
// start), others paint nothing outside [0, hi + 1].
inline __m128i lookup4(const std::uint32_t* lut, __m128 f, float hi, bool pad) {
    alignas(16) std::int32_t i[4];
    if (pad) {
        // max/min return their second operand for NaN, which lands on the start.
        __m128i idx = _mm_cvttps_epi32(_mm_min_ps(_mm_max_ps(f, _mm_setzero_ps()), _mm_set1_ps(hi)));
        _mm_store_si128(reinterpret_cast<__m128i*>(i), idx);
        return _mm_setr_epi32(static_cast<int>(lut[i[0]]), static_cast<int>(lut[i[1]]),
                              static_cast<int>(lut[i[2]]), static_cast<int>(lut[i[3]]));
    }
    alignas(16) float v[4];
    _mm_store_ps(v, f);
    auto one = [&](float x) -> int {
        return (x >= 0.0f && x <= hi + 1.0f) ? static_cast<int>(lut[static_cast<int>(std::min(x, hi))]) : 0;
    };
    return _mm_setr_epi32(one(v[0]), one(v[1]), one(v[2]), one(v[3]));
}
#endif

}  // namespace

void SpanCompositor::prepareTables(const Gradient& gradient, double opacity, double pixels, int n) {
    const std::vector<LutStop> stops = lutStops(gradient, opacity);
    dither_ = wantsDither(stops, pixels);
    if (!dither_) {
        buildLut(stops, lut_, n);
        return;
    }
    fineLut_.resize(static_cast<std::size_t>(n));
    std::size_t k = 0;
    for (int i = 0; i < n; ++i) {
        const LutStop c = lutColor(stops, k, i, n);
        const float al = std::clamp(c.a, 0.0f, 1.0f) * 255.0f;
        auto channel = [al](float v) { return std::clamp(v, 0.0f, 1.0f) * al; };
        fineLut_[static_cast<std::size_t>(i)] = {al, channel(c.r), channel(c.gr), channel(c.b)};
    }
}

template <class Position>
void SpanCompositor::blendDithered(std::uint32_t* d, const std::uint8_t* m, int y, int from, int to,
                                   Position&& position) const {
    const float hi = last_;
    const int* thresholds = kBayer[(y + originY_) & 3];
    for (int x = skipEmpty(m, from, to); x < to; ++x) {
        if (!m[x]) continue;
        const float f = position(x);
        int i;
        if (pad_) {
            i = static_cast<int>(f > 0.0f ? (f > hi ? hi : f) : 0.0f);
        } else {
            if (!(f >= 0.0f && f <= hi + 1.0f)) continue;
            i = static_cast<int>(std::min(f, hi));
        }
        const auto& src = fineLut_[static_cast<std::size_t>(i)];
        const float cover = float(m[x]) / 255.0f;
        const float keep = 1.0f - src[0] * cover / 255.0f;
        const float t = (float(thresholds[(x + originX_) & 3]) + 0.5f) / 16.0f;
        const std::uint32_t p = d[x];
        if (cover == 1.0f && src[0] >= 255.0f) {
            // Opaque: the destination is covered; only the gradient's own levels are rounded.
            d[x] = 0xFF000000u | ditheredChannel(src[1], t, 255.0f) << 16 | ditheredChannel(src[2], t, 255.0f) << 8 |
                   ditheredChannel(src[3], t, 255.0f);
            continue;
        }
        auto out = [&](int channel, int shift) {
            const float v = src[channel] * cover + float((p >> shift) & 0xFFu) * keep;
            return ditheredChannel(v, t, 255.0f) << shift;
        };
        d[x] = out(0, 24) | out(1, 16) | out(2, 8) | out(3, 0);
    }
}

bool SpanCompositor::prepare(const Shading& shading, double opacity, const AffineTransform& toDevice, int originX,
                             int originY) {
    dither_ = false;
    originX_ = originX;
    originY_ = originY;
    if (const Color* c = shading.asColor()) {
        mode_ = Mode::solid;
        solid_ = pack(c->opacity(opacity));
        return solid_ != 0;
    }
    const Gradient& g = shading.asLinear() ? shading.asLinear()->gradient : shading.asRadial()->gradient;
    if (g.stops.empty()) return false;
    if (shading.isDegenerate()) return prepare(Shading::color(g.lastColor()), opacity, toDevice);
    if (!toDevice.isInvertible()) return false;
    inv_ = toDevice.inverted();
    const double pixels = toDevice.maxScale();
    if (const Shading::Linear* l = shading.asLinear()) {
        mode_ = Mode::linear;
        pad_ = l->extend == GradientExtend::pad;
        const double length = distance(l->start, l->end) * pixels;
        int n = lutSizeFor(length);
        last_ = float(n - 1);
        prepareTables(l->gradient, opacity, length, n);
        // t(user) = (u - start)·d / |d|², which through the inverse transform is affine in pixels.
        double dx = l->end.x - l->start.x, dy = l->end.y - l->start.y;
        double len2 = dx * dx + dy * dy;
        double kx = dx / len2 * last_, ky = dy / len2 * last_, k0 = -(l->start.x * dx + l->start.y * dy) / len2 * last_;
        ta_ = kx * inv_.a + ky * inv_.b;
        tb_ = kx * inv_.c + ky * inv_.d;
        tc_ = kx * inv_.tx + ky * inv_.ty + k0 + 0.5;
        return true;
    }
    const Shading::Radial* r = shading.asRadial();
    mode_ = Mode::radial;
    pad_ = r->extend == GradientExtend::pad;
    const double r0 = std::max(0.0, r->startRadius), r1 = std::max(0.0, r->endRadius);
    const double length = (r1 - r0) * pixels;
    int n = lutSizeFor(length);
    last_ = float(n - 1);
    prepareTables(r->gradient, opacity, length, n);
    cx_ = r->center.x;
    cy_ = r->center.y;
    k_ = last_ / (r1 - r0);
    off_ = -r0 * k_ + 0.5;
    return true;
}

void SpanCompositor::blendRow(std::uint32_t* d, const std::uint8_t* m, int y, int from, int to) const {
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) from = blendRowAvx2(d, m, y, from, to);
#endif
    blendRowBaseline(d, m, y, from, to);
}

void SpanCompositor::blendRowBaseline(std::uint32_t* d, const std::uint8_t* m, int y, int from,
                                      int to) const {
    switch (mode_) {
        case Mode::solid: {
            const std::uint32_t src = solid_;
            blendSpan(d, m, skipEmpty(m, from, to), to, [src](int) { return src; });
            return;
        }
        case Mode::linear: {
            const double base = ta_ * 0.5 + tb_ * (y + 0.5) + tc_;
            const float hi = last_;
            const float ta = float(ta_), b = float(base);
            // Table index of a position: padded gradients clamp it to the ends, others paint
            // nothing outside (NaN, which only a broken transform could give, reads the start).
            auto index = [&](float f) -> std::uint32_t {
                if (pad_) return lut_[static_cast<int>(f > 0.0f ? (f > hi ? hi : f) : 0.0f)];
                return (f >= 0.0f && f <= hi + 1.0f) ? lut_[static_cast<int>(std::min(f, hi))] : 0u;
            };
            if (dither_) return blendDithered(d, m, y, from, to, [&](int x) { return ta * float(x) + b; });
            auto pixel = [&](int x) { return index(ta * float(x) + b); };
#if defined(__SSE2__)
            const __m128 vta = _mm_set1_ps(ta), vb = _mm_set1_ps(b), step = _mm_setr_ps(0, 1, 2, 3);
            blendSpan4(
                d, m, skipEmpty(m, from, to), to,
                [&](int x) {
                    // The same single-precision steps as `pixel`, four lanes at once.
                    __m128 f = _mm_add_ps(_mm_mul_ps(vta, _mm_add_ps(_mm_set1_ps(float(x)), step)), vb);
                    return lookup4(lut_.data(), f, hi, pad_);
                },
                pixel);
#else
            blendSpan(d, m, skipEmpty(m, from, to), to, pixel);
#endif
            return;
        }
        case Mode::radial: {
            const float hi = last_, k = float(k_), off = float(off_);
            const float ia = float(inv_.a), ib = float(inv_.b);
            const float ux0 = float(inv_.a * 0.5 + inv_.c * (y + 0.5) + inv_.tx - cx_);
            const float uy0 = float(inv_.b * 0.5 + inv_.d * (y + 0.5) + inv_.ty - cy_);
            auto index = [&](float f) -> std::uint32_t {
                if (pad_) return lut_[static_cast<int>(f > 0.0f ? (f > hi ? hi : f) : 0.0f)];
                return (f >= 0.0f && f <= hi + 1.0f) ? lut_[static_cast<int>(std::min(f, hi))] : 0u;
            };
            auto pixel = [&](int x) {
                float ux = ux0 + ia * float(x), uy = uy0 + ib * float(x);
                return index(std::sqrt(ux * ux + uy * uy) * k + off);
            };
            if (dither_) {
                return blendDithered(d, m, y, from, to, [&](int x) {
                    float ux = ux0 + ia * float(x), uy = uy0 + ib * float(x);
                    return std::sqrt(ux * ux + uy * uy) * k + off;
                });
            }
#if defined(__SSE2__)
            const __m128 vux = _mm_set1_ps(ux0), vuy = _mm_set1_ps(uy0), via = _mm_set1_ps(ia),
                         vib = _mm_set1_ps(ib);
            const __m128 vk = _mm_set1_ps(k), voff = _mm_set1_ps(off), step = _mm_setr_ps(0, 1, 2, 3);
            blendSpan4(
                d, m, skipEmpty(m, from, to), to,
                [&](int x) {
                    __m128 xs = _mm_add_ps(_mm_set1_ps(float(x)), step);
                    __m128 ux = _mm_add_ps(vux, _mm_mul_ps(via, xs)),
                           uy = _mm_add_ps(vuy, _mm_mul_ps(vib, xs));
                    __m128 f = _mm_add_ps(
                        _mm_mul_ps(_mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(ux, ux), _mm_mul_ps(uy, uy))), vk),
                        voff);
                    return lookup4(lut_.data(), f, hi, pad_);
                },
                pixel);
#else
            blendSpan(d, m, skipEmpty(m, from, to), to, pixel);
#endif
            return;
        }
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
namespace {

// x * a / 255 per 16-bit lane, rounded (as mulDiv255).
__attribute__((target("avx2"))) inline __m256i mulDiv255x8(__m256i a, __m256i b) {
    __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(a, b), _mm256_set1_epi16(128));
    return _mm256_srli_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), 8);
}

// Source-over of eight premultiplied pixels scaled by their coverage bytes `m` (unless all are
// 255), with the same arithmetic per channel as blend4.
__attribute__((target("avx2"))) inline void blend8(std::uint32_t* d, __m256i src, std::uint64_t m8) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    __m256i dst = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d));
    if (m8 == ~std::uint64_t{0}) {
        // Fully covered opaque pixels, or pixels over nothing (a panel's first fill on a fresh
        // target): the result is the source itself.
        if (_mm256_testz_si256(dst, dst) ||
            _mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(src, alphaMask), alphaMask)) == -1) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), src);
            return;
        }
    }
    // Pixels 0-3 sit in the low 128-bit lane and 4-7 in the high one; the unpacks and the final
    // pack work within lanes, so the order comes back as it was.
    __m256i sLo = _mm256_unpacklo_epi8(src, zero), sHi = _mm256_unpackhi_epi8(src, zero);
    if (m8 != ~std::uint64_t{0}) {
        __m256i cov = _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(static_cast<long long>(m8)));
        cov = _mm256_shuffle_epi8(cov, _mm256_setr_epi8(0, 0, 0, 0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12, 0,
                                                        0, 0, 0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12));
        sLo = mulDiv255x8(sLo, _mm256_unpacklo_epi8(cov, zero));
        sHi = mulDiv255x8(sHi, _mm256_unpackhi_epi8(cov, zero));
    }
    const __m256i full = _mm256_set1_epi16(255);
    __m256i aLo = _mm256_sub_epi16(full, _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(sLo, 0xFF), 0xFF));
    __m256i aHi = _mm256_sub_epi16(full, _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(sHi, 0xFF), 0xFF));
    __m256i dLo = _mm256_add_epi16(mulDiv255x8(_mm256_unpacklo_epi8(dst, zero), aLo), sLo);
    __m256i dHi = _mm256_add_epi16(mulDiv255x8(_mm256_unpackhi_epi8(dst, zero), aHi), sHi);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), _mm256_packus_epi16(dLo, dHi));
}

// Eight table entries for positions `f`, with the clamping of lookup4.
__attribute__((target("avx2"))) inline __m256i lookup8(const std::uint32_t* lut, __m256 f, float hi,
                                                       bool pad) {
    __m256i idx =
        _mm256_cvttps_epi32(_mm256_min_ps(_mm256_max_ps(f, _mm256_setzero_ps()), _mm256_set1_ps(hi)));
    __m256i v = _mm256_i32gather_epi32(reinterpret_cast<const int*>(lut), idx, 4);
    if (pad) return v;
    __m256 inside = _mm256_and_ps(_mm256_cmp_ps(f, _mm256_setzero_ps(), _CMP_GE_OQ),
                                  _mm256_cmp_ps(f, _mm256_set1_ps(hi + 1.0f), _CMP_LE_OQ));
    return _mm256_and_si256(v, _mm256_castps_si256(inside));
}

// The dithered gradient's colours for eight positions `f`: alpha, red, green and blue from the
// fine table (`fine` holds four floats an entry), and in `inside` the lanes that paint (all for a
// padded gradient; for others those within [0, hi + 1], as lookup8).
struct Fine8 {
    __m256 a, r, g, b;
    __m256i inside;
};

__attribute__((target("avx2"))) inline Fine8 fine8(const float* fine, __m256 f, float hi, bool pad) {
    __m256i idx =
        _mm256_cvttps_epi32(_mm256_min_ps(_mm256_max_ps(f, _mm256_setzero_ps()), _mm256_set1_ps(hi)));
    idx = _mm256_slli_epi32(idx, 2);
    Fine8 s{_mm256_i32gather_ps(fine, idx, 4), _mm256_i32gather_ps(fine + 1, idx, 4),
            _mm256_i32gather_ps(fine + 2, idx, 4), _mm256_i32gather_ps(fine + 3, idx, 4),
            _mm256_set1_epi32(-1)};
    if (!pad)
        s.inside = _mm256_castps_si256(_mm256_and_ps(_mm256_cmp_ps(f, _mm256_setzero_ps(), _CMP_GE_OQ),
                                                     _mm256_cmp_ps(f, _mm256_set1_ps(hi + 1.0f), _CMP_LE_OQ)));
    return s;
}

// One channel (at bit `shift`) of the dithered blend: the source's share by coverage plus the
// kept share of the destination `p`, rounded at threshold `t`.
template <int shift>
__attribute__((target("avx2"))) inline __m256i ditherChannel(__m256 src, __m256 cover, __m256 keep, __m256i p,
                                                             __m256 t) {
    const __m256 beneath =
        _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(p, shift), _mm256_set1_epi32(0xFF)));
    const __m256 v = _mm256_add_ps(_mm256_mul_ps(src, cover), _mm256_mul_ps(beneath, keep));
    return _mm256_slli_epi32(_mm256_cvttps_epi32(_mm256_min_ps(_mm256_add_ps(v, t), _mm256_set1_ps(255.0f))),
                             shift);
}

// The dithered blend of eight pixels with their coverage bytes `m8` and rounding thresholds `t`:
// lane for lane the same single-precision steps as the portable blendDithered, so the same
// pixels. (Its shortcut for opaque, fully covered pixels gives what the general steps give: the
// kept share of the destination is then exactly zero.)
// `p` holds the eight destination pixels; the result is what they become.
__attribute__((target("avx2"))) inline __m256i dithered8(__m256i p, const Fine8& s, std::uint64_t m8, __m256 t) {
    const __m256i cov = _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(static_cast<long long>(m8)));
    const __m256 full = _mm256_set1_ps(255.0f);
    const __m256 cover = _mm256_div_ps(_mm256_cvtepi32_ps(cov), full);
    const __m256 keep = _mm256_sub_ps(_mm256_set1_ps(1.0f), _mm256_div_ps(_mm256_mul_ps(s.a, cover), full));
    const __m256i r = _mm256_or_si256(
        _mm256_or_si256(ditherChannel<24>(s.a, cover, keep, p, t), ditherChannel<16>(s.r, cover, keep, p, t)),
        _mm256_or_si256(ditherChannel<8>(s.g, cover, keep, p, t), ditherChannel<0>(s.b, cover, keep, p, t)));
    // Uncovered columns, and those outside an unpadded gradient, keep what they hold.
    const __m256i paint =
        _mm256_andnot_si256(_mm256_cmpeq_epi32(cov, _mm256_setzero_si256()), s.inside);
    return _mm256_blendv_epi8(p, r, paint);
}

__attribute__((target("avx2"))) inline void blendDithered8(std::uint32_t* d, const Fine8& s, std::uint64_t m8,
                                                           __m256 t) {
    const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), dithered8(p, s, m8, t));
}

}  // namespace

int SpanCompositor::blendRowAvx2(std::uint32_t* d, const std::uint8_t* m, int y, int from, int to) const {
    int x = skipEmpty(m, from, to);
    const __m256 step = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    // A dithered gradient's rounding thresholds for columns x...x+7 (x only moves by eight).
    __m256 t = _mm256_setzero_ps();
    if (dither_) {
        const int* thresholds = kBayer[(y + originY_) & 3];
        alignas(32) float lanes[8];
        for (int j = 0; j < 8; ++j) lanes[j] = (float(thresholds[(x + j + originX_) & 3]) + 0.5f) / 16.0f;
        t = _mm256_load_ps(lanes);
    }
    const float* fine = dither_ ? fineLut_.front().data() : nullptr;
    switch (mode_) {
        case Mode::solid: {
            const __m256i src = _mm256_set1_epi32(static_cast<int>(solid_));
            for (; x + 8 <= to; x += 8) {
                std::uint64_t m8;
                std::memcpy(&m8, m + x, 8);
                if (m8) blend8(d + x, src, m8);
            }
            return x;
        }
        case Mode::linear: {
            const double base = ta_ * 0.5 + tb_ * (y + 0.5) + tc_;
            const __m256 ta = _mm256_set1_ps(float(ta_)), b = _mm256_set1_ps(float(base));
            if (float(ta_) == 0.0f && dither_) {
                // Every column takes the same colour and every eight the same thresholds: eight
                // columns that hold what the eight before held, under the same coverage, become
                // what those became (a backdrop's uniform runs cost one comparison).
                const Fine8 src = fine8(fine, b, last_, pad_);
                std::uint64_t lastM8 = 0;
                __m256i lastIn = _mm256_setzero_si256(), lastOut = _mm256_setzero_si256();
                for (; x + 8 <= to; x += 8) {
                    std::uint64_t m8;
                    std::memcpy(&m8, m + x, 8);
                    if (!m8) continue;
                    __m256i* px = reinterpret_cast<__m256i*>(d + x);
                    const __m256i p = _mm256_loadu_si256(px);
                    const __m256i diff = _mm256_xor_si256(p, lastIn);
                    if (m8 != lastM8 || !_mm256_testz_si256(diff, diff)) {
                        lastM8 = m8;
                        lastIn = p;
                        lastOut = dithered8(p, src, m8, t);
                    }
                    _mm256_storeu_si256(px, lastOut);
                }
                return x;
            }
            if (float(ta_) == 0.0f) {
                // A gradient along y only: every column of the row takes the same entry.
                const __m256i src = lookup8(lut_.data(), b, last_, pad_);
                for (; x + 8 <= to; x += 8) {
                    std::uint64_t m8;
                    std::memcpy(&m8, m + x, 8);
                    if (m8) blend8(d + x, src, m8);
                }
                return x;
            }
            for (; x + 8 <= to; x += 8) {
                std::uint64_t m8;
                std::memcpy(&m8, m + x, 8);
                if (!m8) continue;
                __m256 f = _mm256_add_ps(_mm256_mul_ps(ta, _mm256_add_ps(_mm256_set1_ps(float(x)), step)), b);
                if (dither_)
                    blendDithered8(d + x, fine8(fine, f, last_, pad_), m8, t);
                else
                    blend8(d + x, lookup8(lut_.data(), f, last_, pad_), m8);
            }
            return x;
        }
        case Mode::radial: {
            const __m256 ux0 = _mm256_set1_ps(float(inv_.a * 0.5 + inv_.c * (y + 0.5) + inv_.tx - cx_));
            const __m256 uy0 = _mm256_set1_ps(float(inv_.b * 0.5 + inv_.d * (y + 0.5) + inv_.ty - cy_));
            const __m256 ia = _mm256_set1_ps(float(inv_.a)), ib = _mm256_set1_ps(float(inv_.b));
            const __m256 k = _mm256_set1_ps(float(k_)), off = _mm256_set1_ps(float(off_));
            for (; x + 8 <= to; x += 8) {
                std::uint64_t m8;
                std::memcpy(&m8, m + x, 8);
                if (!m8) continue;
                __m256 xs = _mm256_add_ps(_mm256_set1_ps(float(x)), step);
                __m256 ux = _mm256_add_ps(ux0, _mm256_mul_ps(ia, xs)),
                       uy = _mm256_add_ps(uy0, _mm256_mul_ps(ib, xs));
                __m256 f = _mm256_add_ps(
                    _mm256_mul_ps(_mm256_sqrt_ps(_mm256_add_ps(_mm256_mul_ps(ux, ux), _mm256_mul_ps(uy, uy))),
                                  k),
                    off);
                if (dither_)
                    blendDithered8(d + x, fine8(fine, f, last_, pad_), m8, t);
                else
                    blend8(d + x, lookup8(lut_.data(), f, last_, pad_), m8);
            }
            return x;
        }
    }
    return x;
}
#endif

}  // namespace quillmar::gfx
